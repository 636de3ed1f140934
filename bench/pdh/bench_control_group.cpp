// A collect of 10 Control Group counters over each of 100 groups against the
// floor: reading the same group files with pread through descriptors held open,
// timed alternately in the same run on the thread's processor time. `ratio` =
// engine / floor.
//
// Live: the groups are made under the cgroup2 mount (root, a writable
// hierarchy). Tree: the same layout as plain files, for machines without one.
#include <benchmark/benchmark.h>

#include <ctime>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bench/pdh/pread_floor.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"
#include "platform/pdh/sources/cgroup_hierarchy.h"
#include "platform/pdh/sources/mountinfo.h"

namespace {

using vantorel::pdh::Library;

// The machine this runs on is shared: time on the processor, in user and kernel
// mode alike, is what the two sides cost; waiting for it is noise.
double threadSeconds() {
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

constexpr int kGroups = 100;
// Counters whose files every group has, with or without controllers.
constexpr const char* kCounters[] = {
    "% Processor Time",         "% User Time",          "% Privileged Time",     "Processes",
    "Threads",                  "% CPU Some Stall Time", "% Memory Some Stall Time", "% Memory Full Stall Time",
    "% IO Some Stall Time",     "% IO Full Stall Time",
};
constexpr const char* kFiles[] = {"cpu.stat", "cgroup.procs", "cgroup.threads", "cpu.pressure", "memory.pressure",
                                  "io.pressure"};

// Groups g000..g099 under `parent` (a directory below the hierarchy's root).
void measure(benchmark::State& state, Library& lib, const std::string& parentDir, const std::string& parentPath) {
    PDH_HQUERY query = nullptr;
    lib.openQuery(0, &query);
    std::vector<PDH_HCOUNTER> counters;
    std::vector<std::string> files;
    for (int g = 0; g < kGroups; ++g) {
        char name[8];
        std::snprintf(name, sizeof name, "g%03d", g);
        for (const char* counter : kCounters) {
            const std::string path = vantorel::pdh::makeCounterPath("Control Group", parentPath + "/" + name, counter, true);
            PDH_HCOUNTER c = nullptr;
            if (lib.addCounter(query, path.c_str(), 0, &c) == ERROR_SUCCESS) counters.push_back(c);
        }
        for (const char* file : kFiles) files.push_back(parentDir + "/" + name + "/" + file);
    }
    Floor floor(files);
    lib.collect(query);
    double engine = 0.0;
    double floorTime = 0.0;
    PDH_FMT_COUNTERVALUE value{};
    std::size_t valid = 0;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        floor.read();
        const double t1 = threadSeconds();
        lib.collect(query);
        valid = 0;
        for (PDH_HCOUNTER c : counters) {
            lib.formattedValue(c, PDH_FMT_LONG, nullptr, &value);
            valid += value.CStatus == PDH_CSTATUS_VALID_DATA ? 1 : 0;
        }
        const double e = threadSeconds() - t1;
        engine += e;
        floorTime += t1 - t0;
        state.SetIterationTime(e);
    }
    state.counters["ratio"] = floorTime > 0 ? engine / floorTime : 0.0;
    state.counters["floor_us"] = state.iterations() > 0 ? 1e6 * floorTime / static_cast<double>(state.iterations()) : 0.0;
    state.counters["counters"] = static_cast<double>(counters.size());
    state.counters["valid"] = static_cast<double>(valid);
    state.counters["files"] = static_cast<double>(floor.files());
    lib.closeQuery(query);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void LiveGroups(benchmark::State& state) {
    const auto mount = vantorel::pdh::sources::findCgroup2Mount(
        vantorel::pdh::sources::parseMountinfo(slurp("/proc/self/mountinfo")));
    const std::string parentPath = "/vantorel-bench-" + std::to_string(::getpid());
    const std::string parentDir = mount ? mount->mountPoint + parentPath : std::string();
    if (!mount || ::mkdir(parentDir.c_str(), 0755) != 0) {
        state.SkipWithError("no writable cgroup v2 hierarchy: run as root where it is writable");
        return;
    }
    for (int g = 0; g < kGroups; ++g) {
        char name[8];
        std::snprintf(name, sizeof name, "g%03d", g);
        ::mkdir((parentDir + "/" + name).c_str(), 0755);
    }
    {
        Library lib;
        measure(state, lib, parentDir, parentPath);
    }
    for (int g = 0; g < kGroups; ++g) {
        char name[8];
        std::snprintf(name, sizeof name, "g%03d", g);
        ::rmdir((parentDir + "/" + name).c_str());
    }
    ::rmdir(parentDir.c_str());
}
BENCHMARK(LiveGroups)->UseManualTime()->Unit(benchmark::kMicrosecond);

void TreeGroups(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("vantorel-bench-" + std::to_string(::getpid()));
    const fs::path hierarchy = root / "sys/fs/cgroup";
    fs::create_directories(root / "proc/self");
    std::ofstream(root / "proc/self/mountinfo") << "30 23 0:26 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n";
    const std::string psi = "some avg10=0.00 avg60=0.00 avg300=0.00 total=1000\nfull avg10=0.00 avg60=0.00 avg300=0.00 total=500\n";
    for (int g = 0; g < kGroups; ++g) {
        char name[8];
        std::snprintf(name, sizeof name, "g%03d", g);
        const fs::path dir = hierarchy / "bench" / name;
        fs::create_directories(dir);
        std::ofstream(dir / "cpu.stat") << "usage_usec 123456789\nuser_usec 100000000\nsystem_usec 23456789\nnice_usec 0\n"
                                           "core_sched.force_idle_usec 0\n";
        std::ofstream(dir / "cgroup.procs") << "4242\n";
        std::ofstream(dir / "cgroup.threads") << "4242\n4243\n";
        for (const char* file : {"cpu.pressure", "memory.pressure", "io.pressure"}) std::ofstream(dir / file) << psi;
    }
    {
        Library lib(root.string(), root.string());
        measure(state, lib, (hierarchy / "bench").string(), "/bench");
    }
    fs::remove_all(root);
}
BENCHMARK(TreeGroups)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
