// The engine at scale: adding many counters, and Process(_Total) over many
// live processes. Each reports its ratio to a baseline measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/pdh/engine/library.h"

namespace {

using vantorel::pdh::Library;
using Clock = std::chrono::steady_clock;

double secondsToAdd(const std::vector<std::string>& paths) {
    Library lib;
    PDH_HQUERY query = nullptr;
    lib.openQuery(0, &query);
    const auto t0 = Clock::now();
    for (const std::string& p : paths) {
        PDH_HCOUNTER c = nullptr;
        lib.addCounter(query, p.c_str(), 0, &c);
    }
    const auto t1 = Clock::now();
    lib.closeQuery(query);
    return std::chrono::duration<double>(t1 - t0).count();
}

// 10,000 Process counters (each its own instance) against 10,000 Memory ones.
void AddTenThousandCounters(benchmark::State& state) {
    constexpr int kCounters = 10000;
    std::vector<std::string> processes;
    std::vector<std::string> memory;
    for (int i = 0; i < kCounters; ++i) {
        processes.push_back("\\Process(worker:" + std::to_string(100000 + i) + ")\\Working Set");
        memory.push_back("\\Memory\\Available Bytes");
    }
    double processTime = 0.0;
    double memoryTime = 0.0;
    for (auto _ : state) {
        memoryTime += secondsToAdd(memory);
        const double p = secondsToAdd(processes);
        processTime += p;
        state.SetIterationTime(p);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["process_ms"] = 1e3 * processTime / n;
    state.counters["memory_ms"] = 1e3 * memoryTime / n;
    state.counters["ratio"] = memoryTime > 0 ? processTime / memoryTime : 0.0;
}
BENCHMARK(AddTenThousandCounters)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Process(_Total) over 2,000 forked children: one collect against the floor of
// listing /proc and pread of every process's stat file held open.
void ProcessTotalOverTwoThousand(benchmark::State& state) {
    // The scan keeps a quarter of the descriptor limit open: give it room, as a
    // program that watches thousands of processes would.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);

    constexpr int kChildren = 2000;
    std::vector<pid_t> children;
    for (int i = 0; i < kChildren; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (;;) ::pause();
        }
        if (pid > 0) children.push_back(pid);
    }
    std::vector<int> fds;
    {
        DIR* proc = ::opendir("/proc");
        while (const dirent* e = proc != nullptr ? ::readdir(proc) : nullptr) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
            const int fd = ::open(("/proc/" + std::string(e->d_name) + "/stat").c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) fds.push_back(fd);
        }
        if (proc != nullptr) ::closedir(proc);
    }
    Library lib;
    PDH_HQUERY query = nullptr;
    lib.openQuery(0, &query);
    PDH_HCOUNTER cpu = nullptr;
    lib.addCounter(query, "\\Process(_Total)\\% Processor Time", 0, &cpu);
    lib.collect(query);
    std::string buffer(1 << 12, '\0');
    double engine = 0.0;
    double floor = 0.0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        DIR* proc = ::opendir("/proc");
        while (const dirent* e = proc != nullptr ? ::readdir(proc) : nullptr) benchmark::DoNotOptimize(e);
        if (proc != nullptr) ::closedir(proc);
        for (const int fd : fds) benchmark::DoNotOptimize(::pread(fd, buffer.data(), buffer.size(), 0));
        const auto t1 = Clock::now();
        lib.collect(query);
        PDH_FMT_COUNTERVALUE v{};
        lib.formattedValue(cpu, PDH_FMT_DOUBLE, nullptr, &v);
        benchmark::DoNotOptimize(v);
        const auto t2 = Clock::now();
        floor += std::chrono::duration<double>(t1 - t0).count();
        const double e = std::chrono::duration<double>(t2 - t1).count();
        engine += e;
        state.SetIterationTime(e);
    }
    state.counters["processes"] = static_cast<double>(fds.size());
    state.counters["floor_ms"] = 1e3 * floor / static_cast<double>(state.iterations());
    state.counters["ratio"] = floor > 0 ? engine / floor : 0.0;
    lib.closeQuery(query);
    for (const int fd : fds) ::close(fd);
    for (const pid_t pid : children) ::kill(pid, SIGKILL);
    for (const pid_t pid : children) ::waitpid(pid, nullptr, 0);
}
BENCHMARK(ProcessTotalOverTwoThousand)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
