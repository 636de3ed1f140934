// Cut and garbage text, across every parser.
#include "platform/pdh/sources/diskstats.h"
#include "platform/pdh/sources/loadavg.h"
#include "platform/pdh/sources/meminfo.h"
#include "platform/pdh/sources/mountinfo.h"
#include "platform/pdh/sources/net_dev.h"
#include "platform/pdh/sources/net_speed.h"
#include "platform/pdh/sources/pid_io.h"
#include "platform/pdh/sources/pid_stat.h"
#include "platform/pdh/sources/pid_status.h"
#include "platform/pdh/sources/proc_stat.h"
#include "platform/pdh/sources/uptime.h"
#include "platform/pdh/sources/vmstat.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace vantorel::pdh::sources {
namespace {

// The text in a heap block of exactly its size, so the sanitizer build catches a
// read one byte past the end.
class ExactCopy {
public:
    explicit ExactCopy(std::string_view text)
        : size_(text.size()), bytes_(std::make_unique<char[]>(std::max<std::size_t>(size_, 1))) {
        std::copy(text.begin(), text.end(), bytes_.get());
    }
    std::string_view view() const { return {bytes_.get(), size_}; }

private:
    std::size_t size_;
    std::unique_ptr<char[]> bytes_;
};

// A value read from a cut file is either absent or the value of the whole file.
template <typename T>
void expectNoneOrSame(const std::optional<T>& cut, const std::optional<T>& whole, const char* what) {
    if (cut) {
        EXPECT_EQ(cut, whole) << what;
    }
}

template <typename T>
void expectPrefixOf(const std::vector<T>& cut, const std::vector<T>& whole, const char* what) {
    ASSERT_LE(cut.size(), whole.size()) << what;
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), whole.begin())) << what;
}

// Every cut of the captured file, at every byte.
template <typename Check>
void forEveryCut(std::string_view file, Check check) {
    const std::string whole = test::machineFile(file);
    ASSERT_FALSE(whole.empty()) << file;
    for (std::size_t n = 0; n < whole.size(); ++n) {
        const ExactCopy cut(std::string_view(whole).substr(0, n));
        SCOPED_TRACE(testing::Message() << file << " cut at " << n);
        check(cut.view(), std::string_view(whole));
        if (testing::Test::HasFailure()) {
            return;
        }
    }
}

TEST(CutFiles, ProcStatNeverGuesses) {
    forEveryCut("proc/stat", [](std::string_view cut, std::string_view whole) {
        const auto c = parseProcStat(cut);
        const auto w = parseProcStat(whole);
        ASSERT_TRUE(w.has_value());
        if (!c) {
            return;
        }
        EXPECT_EQ(c->total, w->total);
        expectPrefixOf(c->cpus, w->cpus, "cpus");
        expectNoneOrSame(c->ctxt, w->ctxt, "ctxt");
        expectNoneOrSame(c->interrupts, w->interrupts, "intr");
        expectNoneOrSame(c->processes, w->processes, "processes");
        expectNoneOrSame(c->procsBlocked, w->procsBlocked, "procs_blocked");
    });
}

TEST(CutFiles, MeminfoAndVmstatNeverGuess) {
    forEveryCut("proc/meminfo", [](std::string_view cut, std::string_view whole) {
        const auto c = parseMeminfo(cut);
        const auto w = parseMeminfo(whole);
        ASSERT_TRUE(w.has_value());
        if (c) {
            expectNoneOrSame(c->memTotal, w->memTotal, "MemTotal");
            expectNoneOrSame(c->memAvailable, w->memAvailable, "MemAvailable");
            expectNoneOrSame(c->cached, w->cached, "Cached");
            expectNoneOrSame(c->committedAs, w->committedAs, "Committed_AS");
            expectNoneOrSame(c->swapFree, w->swapFree, "SwapFree");
        }
    });
    forEveryCut("proc/vmstat", [](std::string_view cut, std::string_view whole) {
        const auto c = parseVmstat(cut);
        const auto w = parseVmstat(whole);
        ASSERT_TRUE(w.has_value());
        if (c) {
            expectNoneOrSame(c->pgfault, w->pgfault, "pgfault");
            expectNoneOrSame(c->pgpgin, w->pgpgin, "pgpgin");
        }
    });
}

TEST(CutFiles, TablesKeepOnlyWholeRecords) {
    forEveryCut("proc/net/dev", [](std::string_view cut, std::string_view whole) {
        const NetDevTable c = parseNetDev(cut);
        expectPrefixOf(c.devices, parseNetDev(whole).devices, "net/dev");
        EXPECT_EQ(c.malformedLines, 0u);
    });
    forEveryCut("proc/diskstats", [](std::string_view cut, std::string_view whole) {
        const DiskstatsTable c = parseDiskstats(cut);
        expectPrefixOf(c.disks, parseDiskstats(whole).disks, "diskstats");
        EXPECT_EQ(c.malformedLines, 0u);
    });
    forEveryCut("proc/self/mountinfo", [](std::string_view cut, std::string_view whole) {
        const MountTable c = parseMountinfo(cut);
        expectPrefixOf(c.mounts, parseMountinfo(whole).mounts, "mountinfo");
        EXPECT_EQ(c.malformedLines, 0u);
    });
}

TEST(CutFiles, SingleLineFilesAreAllOrNothing) {
    forEveryCut("proc/loadavg", [](std::string_view cut, std::string_view) {
        EXPECT_FALSE(parseLoadavg(cut).has_value());
    });
    forEveryCut("proc/uptime", [](std::string_view cut, std::string_view) {
        EXPECT_FALSE(parseUptime(cut).has_value());
    });
    forEveryCut("proc/5915/stat", [](std::string_view cut, std::string_view) {
        EXPECT_FALSE(parsePidStat(cut).has_value());
    });
    // "254:0\n": any cut of a one-number file, such as "254", must not pass for it.
    forEveryCut("sys/block/vda/dev", [](std::string_view cut, std::string_view) {
        EXPECT_FALSE(parseNetSpeed(cut).has_value());
    });
}

TEST(CutFiles, ProcessKeyValueFilesNeverGuess) {
    forEveryCut("proc/1/status", [](std::string_view cut, std::string_view whole) {
        const auto c = parsePidStatus(cut);
        const auto w = parsePidStatus(whole);
        ASSERT_TRUE(w.has_value());
        if (c) {
            expectNoneOrSame(c->name, w->name, "Name");
            expectNoneOrSame(c->threads, w->threads, "Threads");
            expectNoneOrSame(c->vmRss, w->vmRss, "VmRSS");
            expectNoneOrSame(c->rssAnon, w->rssAnon, "RssAnon");
        }
    });
    forEveryCut("proc/5915/io", [](std::string_view cut, std::string_view whole) {
        const auto c = parsePidIo(cut);
        const auto w = parsePidIo(whole);
        ASSERT_TRUE(w.has_value());
        if (c) {
            expectNoneOrSame(c->rchar, w->rchar, "rchar");
            expectNoneOrSame(c->syscw, w->syscw, "syscw");
            expectNoneOrSame(c->writeBytes, w->writeBytes, "write_bytes");
        }
    });
}

// Text that is no kernel file at all: every parser refuses it or finds nothing.
TEST(GarbageText, YieldsNoValues) {
    const std::string cases[] = {
        "",
        "\n",
        "\n\n\n",
        std::string("\0\0\0\n", 4),
        "\xff\xfe\x01\n",
        ":::: : :\n",
        "- - - - -\n",
        "(((((\n",
        ")))) (((( \n",
        "-1 -2 -3 -4 -5 -6 -7 -8 -9 -10 -11 -12 -13 -14 -15 -16 -17 -18 -19 -20\n",
        std::string(5000, 'x') + "\n",
        std::string(300, ' ') + "\n",
    };
    for (const std::string& text : cases) {
        const ExactCopy copy(text);
        const std::string_view t = copy.view();
        SCOPED_TRACE(testing::Message() << "case of " << text.size() << " bytes: " << text.substr(0, 40));
        EXPECT_FALSE(parseProcStat(t).has_value());
        EXPECT_FALSE(parseMeminfo(t).has_value());
        EXPECT_FALSE(parseVmstat(t).has_value());
        EXPECT_FALSE(parseLoadavg(t).has_value());
        EXPECT_FALSE(parseUptime(t).has_value());
        EXPECT_TRUE(parseNetDev(t).devices.empty());
        EXPECT_TRUE(parseDiskstats(t).disks.empty());
        EXPECT_TRUE(parseMountinfo(t).mounts.empty());
        EXPECT_FALSE(parsePidStat(t).has_value());
        EXPECT_FALSE(parsePidStatus(t).has_value());
        EXPECT_FALSE(parsePidIo(t).has_value());
        EXPECT_FALSE(parseNetSpeed(t).has_value());
    }
}

TEST(GarbageText, OverflowingNumbersAreNoValue) {
    const auto stat = parseProcStat("cpu  1 2 3 4\nctxt 18446744073709551616\nprocesses 18446744073709551615\n");
    ASSERT_TRUE(stat.has_value());
    EXPECT_FALSE(stat->ctxt.has_value());
    EXPECT_EQ(stat->processes, 18446744073709551615u);
    EXPECT_FALSE(parseProcStat("cpu  1 2 3 18446744073709551616\n").has_value());
    EXPECT_FALSE(parseVmstat("pgfault 18446744073709551616\n")->pgfault.has_value());
    EXPECT_FALSE(parseNetSpeed("18446744073709551616\n").has_value());
    EXPECT_TRUE(parseDiskstats("8 0 sda 1 2 3 4 5 6 7 8 9 10 99999999999999999999\n").disks.empty());
    EXPECT_FALSE(parsePidStat("99999999999 (a) R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n").has_value());
}

}  // namespace
}  // namespace vantorel::pdh::sources
