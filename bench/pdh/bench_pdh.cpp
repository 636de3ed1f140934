// A collect plus formatted reads against the floor: reading the same kernel
// files with pread, timed alternately in the same run. `ratio` = engine / floor.
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/pdh/pread_floor.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"

namespace {

using vantorel::pdh::Library;
using vantorel::pdh::makeCounterPath;
using Clock = std::chrono::steady_clock;

void run(benchmark::State& state, Library& lib, PDH_HQUERY query, const std::vector<PDH_HCOUNTER>& counters,
         Floor& floor) {
    lib.collect(query);  // first sample: the steady state is what is measured
    double engine = 0.0;
    double floorTime = 0.0;
    PDH_FMT_COUNTERVALUE value{};
    for (auto _ : state) {
        const auto t0 = Clock::now();
        floor.read();
        const auto t1 = Clock::now();
        lib.collect(query);
        for (PDH_HCOUNTER c : counters) {
            lib.formattedValue(c, PDH_FMT_LONG, nullptr, &value);
            benchmark::DoNotOptimize(value);
        }
        const auto t2 = Clock::now();
        const double e = std::chrono::duration<double>(t2 - t1).count();
        engine += e;
        floorTime += std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(e);
    }
    state.counters["ratio"] = floorTime > 0 ? engine / floorTime : 0.0;
    state.counters["floor_us"] = state.iterations() > 0 ? 1e6 * floorTime / static_cast<double>(state.iterations()) : 0.0;
    state.counters["counters"] = static_cast<double>(counters.size());
}

void MachineCounters(benchmark::State& state) {
    Library lib;
    PDH_HQUERY query = nullptr;
    lib.openQuery(0, &query);
    std::vector<std::string> paths;
    const auto& e = lib.enumeration();
    for (const char* object : {"Processor", "Memory", "System", "Network Interface", "PhysicalDisk"}) {
        for (const auto& info : e.objects()) {
            if (info.name != object) continue;
            const std::vector<std::string> instances = info.hasInstances ? e.instances(object) : std::vector<std::string>{""};
            for (const std::string& instance : instances)
                for (const auto& counter : info.counters) {
                    // These three read other sources (the process scan, the link speed).
                    if (counter.name == "Processes" || counter.name == "Threads" || counter.name == "Current Bandwidth")
                        continue;
                    paths.push_back(makeCounterPath(object, instance, counter.name, info.hasInstances));
                }
        }
    }
    paths.resize(std::min<std::size_t>(paths.size(), 100));
    std::vector<PDH_HCOUNTER> counters;
    for (const std::string& p : paths) {
        PDH_HCOUNTER c = nullptr;
        if (lib.addCounter(query, p.c_str(), 0, &c) == ERROR_SUCCESS) counters.push_back(c);
    }
    // The files those counters read: the clocks come from cpufreq where the
    // machine has it, else from /proc/cpuinfo.
    std::vector<std::string> files{"/proc/stat", "/proc/meminfo", "/proc/vmstat", "/proc/uptime", "/proc/net/dev",
                                   "/proc/diskstats", "/proc/interrupts", "/proc/loadavg", "/proc/sys/fs/file-nr"};
    const std::string cpufreq = "/sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq";
    if (::access(cpufreq.c_str(), R_OK) != 0) files.emplace_back("/proc/cpuinfo");
    for (long cpu = 0; ::access(cpufreq.c_str(), R_OK) == 0 && cpu < ::sysconf(_SC_NPROCESSORS_ONLN); ++cpu) {
        const std::string dir = "/sys/devices/system/cpu/cpu" + std::to_string(cpu) + "/cpufreq/";
        files.push_back(dir + "scaling_cur_freq");
        files.push_back(dir + "cpuinfo_max_freq");
    }
    Floor floor(files);
    run(state, lib, query, counters, floor);
    lib.closeQuery(query);
}
BENCHMARK(MachineCounters)->UseManualTime()->Unit(benchmark::kMicrosecond);

void ProcessCounters(benchmark::State& state) {
    constexpr int kProcesses = 50;
    std::vector<pid_t> children;
    for (int i = 0; i < kProcesses; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (;;) ::pause();
        }
        if (pid > 0) children.push_back(pid);
    }
    char comm[64] = {};
    {
        const int fd = ::open("/proc/self/comm", O_RDONLY);
        const ssize_t n = fd >= 0 ? ::read(fd, comm, sizeof comm - 1) : 0;
        if (fd >= 0) ::close(fd);
        if (n > 0 && comm[n - 1] == '\n') comm[n - 1] = '\0';
    }
    Library lib;
    PDH_HQUERY query = nullptr;
    lib.openQuery(0, &query);
    const char* names[] = {"% Processor Time", "Working Set", "Thread Count", "Page Faults/sec", "Virtual Bytes"};
    std::vector<PDH_HCOUNTER> counters;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < children.size(); ++i) {
        const std::string instance = std::string(comm) + ":" + std::to_string(children[i]);
        const std::string path = makeCounterPath("Process", instance, names[i % 5], true);
        PDH_HCOUNTER c = nullptr;
        if (lib.addCounter(query, path.c_str(), 0, &c) == ERROR_SUCCESS) counters.push_back(c);
        files.push_back("/proc/" + std::to_string(children[i]) + "/stat");
    }
    Floor floor(files);
    run(state, lib, query, counters, floor);
    lib.closeQuery(query);
    for (pid_t pid : children) ::kill(pid, SIGKILL);
    for (pid_t pid : children) ::waitpid(pid, nullptr, 0);
}
BENCHMARK(ProcessCounters)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
