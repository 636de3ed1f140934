// The new counters on this machine against the standard tools, all sampled
// over one and the same second: each tool starts beside the library's first
// collect and reports the second that ends beside its second collect.
// Tolerances allow for a busy two-core machine on which the tools and the
// library see the interval a few milliseconds apart.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {
namespace {

bool haveTool(const std::string& tool) {
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

std::string capture(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(("LC_ALL=C S_TIME_FORMAT=ISO " + command + " 2>/dev/null").c_str(), "r")) {
        char chunk[4096];
        std::size_t n = 0;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
        ::pclose(pipe);
    }
    return out;
}

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The value under `column` on the last line whose words start with `key`
// (e.g. {"Average:", "0"}), the heading being the last line holding `column`
// before it.
std::optional<double> column(const std::string& text, const std::vector<std::string>& key, const std::string& name) {
    std::istringstream in(text);
    std::vector<std::string> heading;
    std::optional<double> found;
    for (std::string line; std::getline(in, line);) {
        const std::vector<std::string> w = words(line);
        if (w.empty()) {
            heading.clear();  // the end of a section: its heading no longer applies
            continue;
        }
        if (std::find(w.begin(), w.end(), name) != w.end()) {
            heading = w;
            continue;
        }
        if (w.size() < key.size() || !std::equal(key.begin(), key.end(), w.begin()) || heading.empty()) continue;
        const auto at = std::find(heading.begin(), heading.end(), name) - heading.begin();
        // The heading's first word is the time or "Average:", as the row's is.
        if (static_cast<std::size_t>(at) < w.size()) found = std::stod(w[static_cast<std::size_t>(at)]);
    }
    return found;
}

// A child that sleeps 2 ms at a time (context switches) and writes and syncs
// 64 KiB each 20 ms (bytes that reach the disk).
pid_t startWorker(const std::string& file) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::prctl(PR_SET_NAME, "vantorel-live");
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    static char block[65536] = {1};
    for (int i = 0;; ++i) {
        if (i % 10 == 0 && fd >= 0) {
            if (::pwrite(fd, block, sizeof block, 0) < 0 || ::fdatasync(fd) != 0) ::_exit(1);
        }
        ::usleep(2000);
    }
}

class LiveTools : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"mpstat", "sar", "iostat", "pidstat", "numastat"})
            if (!haveTool(tool)) GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh)";
        ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    }
    void TearDown() override {
        if (query != nullptr) lib.closeQuery(query);
    }
    PDH_HCOUNTER add(const std::string& path) {
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    double value(PDH_HCOUNTER c) {
        PDH_FMT_COUNTERVALUE v{};
        EXPECT_EQ(lib.formattedValue(c, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nullptr, &v), ERROR_SUCCESS);
        return v.doubleValue;
    }

    Library lib;
    PDH_HQUERY query = nullptr;
};

#define EXPECT_AGREES(ours, theirs, slack) \
    EXPECT_LE(std::fabs((ours) - (theirs)), (slack)) << #ours << " = " << (ours) << ", tool: " << (theirs)

std::string firstWholeDisk() {
    std::ifstream stats("/proc/diskstats");
    for (std::string line; std::getline(stats, line);) {
        const auto w = words(line);
        if (w.size() > 3 && std::filesystem::exists("/sys/block/" + w[2] + "/device") && w[3] != "0") return w[2];
    }
    return {};
}

TEST_F(LiveTools, TheNewCountersAgreeWithTheToolsOverTheSameSecond) {
    const std::string file = std::filesystem::temp_directory_path() / ("vantorel-live-" + std::to_string(::getpid()));
    const pid_t worker = startWorker(file);
    ASSERT_GT(worker, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // its name is set
    const std::string proc = "\\Process(vantorel-live:" + std::to_string(worker) + ")\\";
    const std::string disk = firstWholeDisk();

    std::map<std::string, PDH_HCOUNTER> c;
    for (const char* cpu : {"_Total", "0"}) c[std::string("irq") + cpu] = add(std::string("\\Processor(") + cpu + ")\\Interrupts/sec");
    for (const char* name : {"Paged In KBytes/sec", "Paged Out KBytes/sec", "Major Faults/sec", "Pages Freed/sec",
                             "Pages Scanned/sec", "Pages Reclaimed/sec", "Dirty Bytes", "Anonymous Bytes", "Slab Bytes",
                             "Kernel Stack Bytes", "Page Table Bytes"})
        c[name] = add(std::string("\\Memory\\") + name);
    for (const char* name : {"Load Average 1 Minute", "Load Average 5 Minutes", "File Handles Allocated"})
        c[name] = add(std::string("\\System\\") + name);
    c["write"] = add(proc + "Disk Write Bytes/sec");
    c["cswch"] = add(proc + "Context Switches/sec");
    c["prio"] = add(proc + "Priority Base");
    if (!disk.empty()) {
        c["r_await"] = add("\\PhysicalDisk(" + disk + ")\\Avg. Disk ms/Read");
        c["w_await"] = add("\\PhysicalDisk(" + disk + ")\\Avg. Disk ms/Write");
    }

    const std::string pid = std::to_string(worker);
    std::vector<std::future<std::string>> tools;
    for (const std::string& command : {std::string("mpstat -I SUM -P ALL 1 1"), std::string("sar -B 1 1"),
                                       std::string("sar -r ALL 1 1"), std::string("sar -q 1 1"),
                                       std::string("sar -v 1 1"), "pidstat -d -w -p " + pid + " 1 1",
                                       "iostat -x -d " + (disk.empty() ? std::string("vda") : disk) + " 1 2"})
        tools.push_back(std::async(std::launch::async, capture, command));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the tools take their first sample
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    std::vector<std::string> out;
    for (auto& t : tools) out.push_back(t.get());
    ::kill(worker, SIGKILL);
    ::waitpid(worker, nullptr, 0);
    std::filesystem::remove(file);

    const auto tool = [](const std::optional<double>& v) {
        EXPECT_TRUE(v.has_value());
        return v.value_or(-1e9);
    };
    // mpstat -I SUM -P ALL
    const double allIrq = tool(column(out[0], {"Average:", "all"}, "intr/s"));
    EXPECT_AGREES(value(c["irq_Total"]), allIrq, 0.25 * allIrq + 100);
    const double cpu0Irq = tool(column(out[0], {"Average:", "0"}, "intr/s"));
    EXPECT_AGREES(value(c["irq0"]), cpu0Irq, 0.25 * cpu0Irq + 100);
    // sar -B
    const double pgpgin = tool(column(out[1], {"Average:"}, "pgpgin/s"));
    EXPECT_AGREES(value(c["Paged In KBytes/sec"]), pgpgin, 0.5 * pgpgin + 500);
    const double pgpgout = tool(column(out[1], {"Average:"}, "pgpgout/s"));
    EXPECT_AGREES(value(c["Paged Out KBytes/sec"]), pgpgout, 0.5 * pgpgout + 2000);
    const double majflt = tool(column(out[1], {"Average:"}, "majflt/s"));
    EXPECT_AGREES(value(c["Major Faults/sec"]), majflt, 0.5 * majflt + 50);
    const double pgfree = tool(column(out[1], {"Average:"}, "pgfree/s"));
    EXPECT_AGREES(value(c["Pages Freed/sec"]), pgfree, 0.5 * pgfree + 20000);
    const double scanned = tool(column(out[1], {"Average:"}, "pgscank/s")) + tool(column(out[1], {"Average:"}, "pgscand/s"));
    EXPECT_AGREES(value(c["Pages Scanned/sec"]), scanned, 0.5 * scanned + 1000);
    const double stolen = tool(column(out[1], {"Average:"}, "pgsteal/s"));
    EXPECT_AGREES(value(c["Pages Reclaimed/sec"]), stolen, 0.5 * stolen + 1000);
    // sar -r ALL (KiB)
    for (const auto& [ours, theirs] : std::map<std::string, std::string>{{"Dirty Bytes", "kbdirty"},
                                                                          {"Anonymous Bytes", "kbanonpg"},
                                                                          {"Slab Bytes", "kbslab"},
                                                                          {"Kernel Stack Bytes", "kbkstack"},
                                                                          {"Page Table Bytes", "kbpgtbl"}}) {
        const double kib = tool(column(out[2], {"Average:"}, theirs));
        EXPECT_AGREES(value(c[ours]) / 1024, kib, 0.1 * kib + 20000) << theirs;
    }
    // sar -q, sar -v
    EXPECT_AGREES(value(c["Load Average 1 Minute"]), tool(column(out[3], {"Average:"}, "ldavg-1")), 0.5);
    EXPECT_AGREES(value(c["Load Average 5 Minutes"]), tool(column(out[3], {"Average:"}, "ldavg-5")), 0.2);
    const double fileNr = tool(column(out[4], {"Average:"}, "file-nr"));
    EXPECT_AGREES(value(c["File Handles Allocated"]), fileNr, 0.05 * fileNr + 100);
    // pidstat -d -w: kB_wr/s, cswch/s + nvcswch/s of the worker
    const double kbWritten = tool(column(out[5], {"Average:"}, "kB_wr/s"));
    EXPECT_AGREES(value(c["write"]) / 1024, kbWritten, 0.5 * kbWritten + 700);
    const double switches = tool(column(out[5], {"Average:"}, "cswch/s")) + tool(column(out[5], {"Average:"}, "nvcswch/s"));
    EXPECT_AGREES(value(c["cswch"]), switches, 0.3 * switches + 50);
    EXPECT_EQ(value(c["prio"]), 0.0);
    // iostat -x: the second report is the interval
    if (!disk.empty()) {
        const double rAwait = tool(column(out[6], {disk}, "r_await"));
        EXPECT_AGREES(value(c["r_await"]), rAwait, 0.5 * rAwait + 5);
        const double wAwait = tool(column(out[6], {disk}, "w_await"));
        EXPECT_AGREES(value(c["w_await"]), wAwait, 0.5 * wAwait + 5);
    }
}

TEST_F(LiveTools, InodesAgreeWithDfAndNodesWithNumastat) {
    PDH_HCOUNTER freeInodes = add("\\LogicalDisk(/)\\Free Inodes");
    PDH_HCOUNTER freeShare = add("\\LogicalDisk(/)\\% Free Inodes");
    const bool numa = std::filesystem::exists("/sys/devices/system/node/node0/meminfo");
    PDH_HCOUNTER total = numa ? add("\\NUMA Node Memory(0)\\Total MBytes") : nullptr;
    PDH_HCOUNTER file = numa ? add("\\NUMA Node Memory(0)\\File Pages MBytes") : nullptr;
    PDH_HCOUNTER used = numa ? add("\\NUMA Node Memory(0)\\Used MBytes") : nullptr;
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    const std::string df = capture("df -i /");
    const std::string numastat = numa ? capture("numastat -m") : "";
    // df -i: IFree, and IUse% = ceil(used x 100 / total)
    const double ifree = column(df, {}, "IFree").value_or(-1);
    if (ifree >= 0) {
        EXPECT_AGREES(value(freeInodes), ifree, 2000);
        std::string iuse = words(df.substr(df.find('\n') + 1)).at(4);
        iuse.pop_back();  // "3%"
        EXPECT_AGREES(value(freeShare), 100 - std::stod(iuse), 1.0);
    }
    if (numa) {
        const auto node = [&](const std::string& row) {
            std::istringstream in(numastat);
            for (std::string line; std::getline(in, line);) {
                const auto w = words(line);
                if (w.size() >= 2 && w[0] == row) return std::stod(w[1]);
            }
            ADD_FAILURE() << "numastat -m has no " << row;
            return -1e9;
        };
        EXPECT_AGREES(value(total), node("MemTotal"), 0.01);
        EXPECT_AGREES(value(file), node("FilePages"), 0.05 * node("FilePages") + 50);
        EXPECT_AGREES(value(used), node("MemUsed"), 0.05 * node("MemUsed") + 100);
    }
}

// /proc/pressure itself: the share from its total= over the same interval.
TEST_F(LiveTools, PressureAgreesWithItsOwnTotals) {
    if (!std::filesystem::exists("/proc/pressure/cpu")) GTEST_SKIP() << "no pressure files on this kernel";
    const auto total = [] {
        std::ifstream in("/proc/pressure/cpu");
        std::string line;
        std::getline(in, line);
        return std::stod(line.substr(line.find("total=") + 6));
    };
    PDH_HCOUNTER some = add("\\Pressure(cpu)\\% Some Stall Time");
    const double before = total();
    const auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    const double after = total();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_AGREES(value(some), 100.0 * (after - before) / 1e6 / seconds, 10.0);
}

}  // namespace
}  // namespace vantorel::pdh
