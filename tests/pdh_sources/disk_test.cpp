#include "platform/pdh/sources/diskstats.h"
#include "platform/pdh/sources/fs_space.h"
#include "platform/pdh/sources/sys_block.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantorel::pdh::sources {
namespace {

TEST(Diskstats, ReadsTheCapturedMachine) {
    const DiskstatsTable table = parseDiskstats(test::machineFile("proc/diskstats"));
    ASSERT_EQ(table.disks.size(), 10u);
    EXPECT_EQ(table.malformedLines, 0u);
    // 254 0 vda 63587 22897 2654842 15434 20589 15022 1278872 7048 0 14040 22945 ...
    const DiskStat& vda = table.disks[8];
    EXPECT_EQ(vda.name, "vda");
    EXPECT_EQ(vda.major, 254u);
    EXPECT_EQ(vda.minor, 0u);
    EXPECT_EQ(vda.readsCompleted, 63587u);
    EXPECT_EQ(vda.sectorsRead, 2654842u);
    EXPECT_EQ(vda.readMs, 15434u);
    EXPECT_EQ(vda.writesCompleted, 20589u);
    EXPECT_EQ(vda.sectorsWritten, 1278872u);
    EXPECT_EQ(vda.writeMs, 7048u);
    EXPECT_EQ(vda.inFlight, 0u);
    EXPECT_EQ(vda.ioTicksMs, 14040u);
    EXPECT_EQ(vda.timeInQueueMs, 22945u);
}

TEST(Diskstats, TakesEveryKernelsLineLength) {
    const DiskstatsTable table = parseDiskstats(
        "   8       0 sda 1 2 3 4 5 6 7 8 9 10 11\n"                        // 14 fields
        "   8      16 sdb 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15\n"            // 18
        " 259       0 nvme0n1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\n"  // 20
        "   8       1 sda1 1 2 3 4\n"                                       // 2.6 partition
        "   8       2 sda2 1 2 3 4 5 6 7 8 9 10\n");                        // cut short
    ASSERT_EQ(table.disks.size(), 3u);
    for (const DiskStat& d : table.disks) {
        SCOPED_TRACE(d.name);
        EXPECT_EQ(d.readsCompleted, 1u);
        EXPECT_EQ(d.sectorsRead, 3u);
        EXPECT_EQ(d.inFlight, 9u);
        EXPECT_EQ(d.timeInQueueMs, 11u);
    }
    EXPECT_EQ(table.disks[2].name, "nvme0n1");
    EXPECT_EQ(table.malformedLines, 2u);
}

TEST(SysBlock, ListsWholeDisksAsDiskstatsNamesThem) {
    const std::vector<std::string> entries = {"vda", ".", "cciss!c0d0", "..", "", "loop0", "vda"};
    const std::vector<std::string> expected = {"cciss/c0d0", "loop0", "vda"};
    EXPECT_EQ(wholeDisks(entries), expected);
}

TEST(FsSpace, MatchesDfUsePercent) {
    struct Case {
        FsBlocks fs;
        std::optional<unsigned> use;
    };
    const Case cases[] = {
        {{1000, 400, 350, 4096}, 64u},  // used 600 of 950: 63.2 rounds up
        {{1000, 500, 500, 4096}, 50u},  // exact, not rounded up
        {{1000, 1000, 1000, 4096}, 0u},
        {{1000, 0, 0, 4096}, 100u},     // full
        {{1000, 1, 0, 4096}, 100u},     // only root's reserve left
        {{0, 0, 0, 4096}, std::nullopt},         // no blocks: df shows "-"
        {{10, 20, 20, 4096}, std::nullopt},      // free above total
        {{std::numeric_limits<std::uint64_t>::max(), 0, 1, 1}, 100u},  // no overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fs.blocks << " " << c.fs.freeBlocks << " " << c.fs.availBlocks);
        EXPECT_EQ(dfUsePercent(c.fs), c.use);
    }
}

TEST(FsSpace, FreeMegabytesAreAvailBlocksTimesFragment) {
    EXPECT_DOUBLE_EQ(freeMegabytes({1000, 400, 256, 4096}), 1.0);
    EXPECT_DOUBLE_EQ(freeMegabytes({1000, 400, 384, 4096}), 1.5);
    // 2^63 blocks of 2^16 bytes: 2^79 bytes, 2^59 MiB, beyond 64-bit arithmetic.
    EXPECT_DOUBLE_EQ(freeMegabytes({0, 0, std::uint64_t{1} << 63, 1U << 16}), 0x1p59);
}

}  // namespace
}  // namespace vantorel::pdh::sources
