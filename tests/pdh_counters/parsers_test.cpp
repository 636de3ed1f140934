// The new parsers on kernel text, and the fields added to the older ones.
#include <gtest/gtest.h>

#include "platform/pdh/sources/cpufreq.h"
#include "platform/pdh/sources/cpuinfo.h"
#include "platform/pdh/sources/diskstats.h"
#include "platform/pdh/sources/file_nr.h"
#include "platform/pdh/sources/interrupts.h"
#include "platform/pdh/sources/pid_stat.h"
#include "platform/pdh/sources/pid_status.h"
#include "platform/pdh/sources/swaps.h"
#include "platform/pdh/sources/vmstat.h"

namespace vantorel::pdh::sources {
namespace {

TEST(Interrupts, ColumnsFollowTheHeadingAndSkipMachineWideLines) {
    // Offline cpus have no column: the ids come from the heading.
    const auto irqs = parseInterrupts(
        "           CPU0       CPU2\n"
        "  0:         10          1   IO-APIC   2-edge      timer\n"
        " 24:    4294967295          4  PCI-MSI 1-edge  nvme0q1\n"
        "LOC:       1000       2000   Local timer interrupts\n"
        "ERR:          7\n"
        "MIS:          0\n"
        "garbage line\n");
    ASSERT_TRUE(irqs.has_value());
    EXPECT_EQ(irqs->cpus, (std::vector<unsigned>{0, 2}));
    EXPECT_EQ(irqs->totals, (std::vector<std::uint64_t>{10 + 4294967295ull + 1000, 1 + 4 + 2000}));
    EXPECT_EQ(irqs->malformedLines, 1u);
    EXPECT_FALSE(parseInterrupts(" 0: 1 2\n").has_value());
    EXPECT_FALSE(parseInterrupts("").has_value());
}

TEST(Swaps, AreasWithUnescapedPathsInBytes) {
    const auto swaps = parseSwaps(
        "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n"
        "/dev/dm-1                               partition\t1003516\t\t2048\t\t-2\n"
        "/var/swap\\040file\\134x                  file\t\t524284\t\t0\t\t5\n"
        "/broken                                 file\t\tx\t\t0\t\t5\n");
    ASSERT_TRUE(swaps.has_value());
    ASSERT_EQ(swaps->areas.size(), 2u);
    EXPECT_EQ(swaps->areas[0], (SwapArea{"/dev/dm-1", "partition", 1003516ull * 1024, 2048ull * 1024, -2}));
    EXPECT_EQ(swaps->areas[1].path, "/var/swap file\\x");
    EXPECT_EQ(swaps->malformedLines, 1u);
    // No swap: the heading alone.
    const auto none = parseSwaps("Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n");
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->areas.empty());
    EXPECT_FALSE(parseSwaps("/dev/dm-1 partition 1 0 -2\n").has_value());
}

TEST(FileNr, AllThreeNumbersOrNothing) {
    EXPECT_EQ(parseFileNr("1472\t0\t9223372036854775807\n"), (FileNr{1472, 0, 9223372036854775807ull}));
    EXPECT_FALSE(parseFileNr("1472\t0\n").has_value());
    EXPECT_FALSE(parseFileNr("1472\t0\t100").has_value());  // cut short
    EXPECT_FALSE(parseFileNr("1472\t0\t100\t5\n").has_value());
}

TEST(CpuClock, CpufreqKilohertzAndCpuinfoMegahertz) {
    EXPECT_EQ(parseKilohertz("2400000\n"), 2400000u);
    EXPECT_FALSE(parseKilohertz("<unknown>\n").has_value());
    EXPECT_FALSE(parseKilohertz("").has_value());
    const auto clocks = parseCpuinfoClocks(
        "processor\t: 0\ncpu MHz\t\t: 2994.374\nflags\t\t: fpu\n\n"
        "processor\t: 3\nmodel name\t: x\n\n"  // no clock line: left out
        "processor\t: 5\ncpu MHz\t\t: 800.0005\n\n");
    EXPECT_EQ(clocks, (std::vector<CpuClock>{{0, 2994374}, {5, 800001}}));
    EXPECT_TRUE(parseCpuinfoClocks("processor\t: 0\nBogoMIPS\t: 50.00\n").empty());  // arm
}

TEST(Vmstat, ReclaimCountersAddUpByReclaimerNeverByType) {
    const auto vm = parseVmstat(
        "pgpgin 1\npgpgout 2\npswpin 3\npswpout 4\npgfree 5\npgfault 6\npgmajfault 7\n"
        "pgsteal_kswapd 100\npgsteal_direct 20\npgdemote_kswapd 9\npgscan_kswapd 300\npgscan_direct 40\n"
        "pgscan_khugepaged 5\npgscan_direct_throttle 99\npgscan_anon 200\npgscan_file 145\n"
        "pgsteal_anon 60\npgsteal_file 60\nzone_reclaim_failed 0\npgsteal_late 1000\n");
    ASSERT_TRUE(vm.has_value());
    EXPECT_EQ(vm->pgmajfault, 7u);
    EXPECT_EQ(vm->pgfree, 5u);
    EXPECT_EQ(vm->pgscan, 345u);  // kswapd + direct + khugepaged
    EXPECT_EQ(vm->pgsteal, 120u);  // reading stopped past the reclaim block
    // A kernel of per-zone reclaim counters (3.x).
    const auto old = parseVmstat("pgsteal_kswapd_normal 4\npgsteal_kswapd_dma32 6\npgscan_direct_normal 8\n");
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->pgsteal, 10u);
    EXPECT_EQ(old->pgscan, 8u);
    EXPECT_FALSE(parseVmstat("pgfault 1\n")->pgscan.has_value());
}

TEST(Diskstats, DiscardAndFlushFieldsWhereTheKernelPrintsThem) {
    const auto table = parseDiskstats(
        " 8 0 sda 1 0 8 10 2 0 16 20 0 30 30\n"                          // before 4.18
        " 8 16 sdb 1 0 8 10 2 0 16 20 0 30 30 3 0 24 40\n"               // 4.18
        " 8 32 sdc 1 0 8 10 2 0 16 20 0 30 30 3 0 24 40 5 50\n");        // 5.5
    ASSERT_EQ(table.disks.size(), 3u);
    EXPECT_EQ(table.disks[0].discardsCompleted + table.disks[0].flushesCompleted, 0u);
    EXPECT_EQ(table.disks[1].discardsCompleted, 3u);
    EXPECT_EQ(table.disks[1].discardMs, 40u);
    EXPECT_EQ(table.disks[1].flushesCompleted, 0u);
    EXPECT_EQ(table.disks[2].flushesCompleted, 5u);
    EXPECT_EQ(table.disks[2].flushMs, 50u);
}

TEST(PidFiles, NiceAndContextSwitches) {
    const auto st = parsePidStat("42 (x) S 1 0 0 0 0 0 0 0 0 0 0 0 0 0 20 -5 1 0 100 4096 1\n");
    ASSERT_TRUE(st.has_value());
    EXPECT_EQ(st->nice, -5);
    const auto status = parsePidStatus("Name:\tx\nvoluntary_ctxt_switches:\t507\nnonvoluntary_ctxt_switches:\t43\n");
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(status->voluntaryCtxtSwitches, 507u);
    EXPECT_EQ(status->nonvoluntaryCtxtSwitches, 43u);
}

}  // namespace
}  // namespace vantorel::pdh::sources
