// The counters added to the first objects, over the two moments captured from
// the build machine (vm618-t0, vm618-t1: 3.75 s apart by their /proc/uptime)
// and over hand-made trees shaped like a laptop with cpufreq (laptop-6.1), a
// two-node server without cpufreq or swap (server-5.4) and an older virtual
// machine (vm-4.19). Every expected number is worked out from the fixture text,
// quoted beside it.
#include <gtest/gtest.h>

#include "platform/pdh/engine/compute.h"
#include "platform/pdh/objects/physical_disk.h"
#include "tests/pdh_counters/fixture_tree.h"

namespace vantorel::pdh {
namespace {

using testing::TreeQuery;

constexpr double kT0 = 1452.91;
constexpr double kT1 = 1456.66;
constexpr double kElapsed = kT1 - kT0;  // 3.75 s
constexpr double kKiB = 1024.0;

TEST(ProcessorCounters, InterruptsPerCpuFromTheirColumnsAndTotalFromStat) {
    TreeQuery q("vm618-t0", kT0);
    PDH_HCOUNTER total = q.add("Processor", "_Total", "Interrupts/sec");
    PDH_HCOUNTER cpu0 = q.add("Processor", "0", "Interrupts/sec");
    PDH_HCOUNTER cpu1 = q.add("Processor", "1", "Interrupts/sec");
    q.collect();
    EXPECT_NEAR(q.value(total), 943238 / kT0, 1e-6);  // since boot: intr 943238
    q.moment("vm618-t1", kT1);
    // The CPU0 and CPU1 columns of /proc/interrupts summed over every line
    // (ERR and MIS hold one machine-wide number: in no column).
    EXPECT_NEAR(q.value(cpu0), (438794.0 - 437524) / kElapsed, 1e-6);  // 338.67
    EXPECT_NEAR(q.value(cpu1), (521800.0 - 520499) / kElapsed, 1e-6);  // 346.93
    EXPECT_NEAR(q.value(total), (945749.0 - 943238) / kElapsed, 1e-6);  // intr of /proc/stat: 669.6
}

TEST(ProcessorCounters, FrequencyFromCpufreqWithItsShareOfTheMaximum) {
    TreeQuery q("laptop-6.1", 1000);
    const char* cpus[] = {"0", "1", "2", "3"};
    std::vector<PDH_HCOUNTER> mhz, share;
    for (const char* cpu : cpus) {
        mhz.push_back(q.add("Processor", cpu, "Processor Frequency"));
        share.push_back(q.add("Processor", cpu, "% of Maximum Frequency"));
    }
    PDH_HCOUNTER totalMhz = q.add("Processor", "_Total", "Processor Frequency");
    PDH_HCOUNTER totalShare = q.add("Processor", "_Total", "% of Maximum Frequency");
    q.collect();
    // scaling_cur_freq 800000, 1600000, 3200000, 4700000 kHz; cpuinfo_max_freq 4700000.
    const double khz[] = {800000, 1600000, 3200000, 4700000};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(q.value(mhz[i]), khz[i] / 1000);
        EXPECT_NEAR(q.value(share[i]), 100.0 * khz[i] / 4700000, 1e-9);
    }
    EXPECT_DOUBLE_EQ(q.value(totalMhz), 2575.0);                       // mean of the four
    EXPECT_NEAR(q.value(totalShare), 100.0 * 10300000 / 18800000, 1e-9);  // 54.79
}

TEST(ProcessorCounters, WithoutCpufreqTheClockComesFromCpuinfoAndTheShareIsInvalid) {
    for (const auto& [tree, cpu0, cpu1] : {std::tuple{"server-5.4", 2100.0, 2300.5},
                                            std::tuple{"vm618-t0", 2445.426, 2445.426}}) {
        SCOPED_TRACE(tree);
        TreeQuery q(tree, 1000);
        PDH_HCOUNTER a = q.add("Processor", "0", "Processor Frequency");
        PDH_HCOUNTER b = q.add("Processor", "1", "Processor Frequency");
        PDH_HCOUNTER total = q.add("Processor", "_Total", "Processor Frequency");
        PDH_HCOUNTER share = q.add("Processor", "0", "% of Maximum Frequency");
        PDH_HCOUNTER totalShare = q.add("Processor", "_Total", "% of Maximum Frequency");
        q.collect();
        EXPECT_NEAR(q.value(a), cpu0, 1e-9);  // "cpu MHz : 2100.000"
        EXPECT_NEAR(q.value(b), cpu1, 1e-9);
        EXPECT_NEAR(q.value(total), (cpu0 + cpu1) / 2, 1e-9);
        EXPECT_EQ(q.status(share), PDH_CSTATUS_INVALID_DATA);
        EXPECT_EQ(q.status(totalShare), PDH_CSTATUS_INVALID_DATA);
    }
    // Neither cpufreq nor a cpu MHz line (most arm machines): no clock at all.
    TreeQuery q("vm-4.19", 1000);
    PDH_HCOUNTER mhz = q.add("Processor", "0", "Processor Frequency");
    q.collect();
    EXPECT_EQ(q.status(mhz), PDH_CSTATUS_INVALID_DATA);
}

TEST(MemoryCounters, GaugesFromMeminfoAndRatesFromVmstat) {
    TreeQuery q("vm618-t0", kT0);
    const char* names[] = {"Dirty Bytes", "Writeback Bytes", "Slab Bytes", "Shared Bytes", "Anonymous Bytes",
                           "Page Table Bytes", "Kernel Stack Bytes", "Swap Cached Bytes",
                           "Huge Pages Free Bytes", "Huge Pages Used Bytes"};
    std::vector<PDH_HCOUNTER> gauges;
    for (const char* name : names) gauges.push_back(q.add("Memory", "", name));
    PDH_HCOUNTER major = q.add("Memory", "", "Major Faults/sec");
    PDH_HCOUNTER in = q.add("Memory", "", "Paged In KBytes/sec");
    PDH_HCOUNTER out = q.add("Memory", "", "Paged Out KBytes/sec");
    PDH_HCOUNTER freed = q.add("Memory", "", "Pages Freed/sec");
    PDH_HCOUNTER scanned = q.add("Memory", "", "Pages Scanned/sec");
    PDH_HCOUNTER reclaimed = q.add("Memory", "", "Pages Reclaimed/sec");
    q.collect();
    EXPECT_NEAR(q.value(major), 1721 / kT0, 1e-9);  // since boot
    q.moment("vm618-t1", kT1);
    // t1 meminfo: Dirty 52660, Writeback 0, Slab 191004, Shmem 12128, AnonPages
    // 976672, PageTables 7580, KernelStack 3136, SwapCached 0 kB; no huge pages.
    const double kib[] = {52660, 0, 191004, 12128, 976672, 7580, 3136, 0, 0, 0};
    for (std::size_t i = 0; i < gauges.size(); ++i) EXPECT_DOUBLE_EQ(q.value(gauges[i]), kib[i] * kKiB) << names[i];
    EXPECT_NEAR(q.value(major), (1722.0 - 1721) / kElapsed, 1e-9);
    EXPECT_NEAR(q.value(in), (1571205.0 - 1571113) / kElapsed, 1e-9);    // 24.53
    EXPECT_NEAR(q.value(out), (5395160.0 - 5366816) / kElapsed, 1e-9);   // 7558.4
    EXPECT_NEAR(q.value(freed), (53381555.0 - 53290717) / kElapsed, 1e-9);
    EXPECT_DOUBLE_EQ(q.value(scanned), 0.0);  // every pgscan_ and pgsteal_ is 0 here
    EXPECT_DOUBLE_EQ(q.value(reclaimed), 0.0);
}

TEST(PagingFileCounters, EachSwapAreaByItsUnescapedPathAndTheTotalFromMeminfo) {
    TreeQuery q("laptop-6.1", 1000);
    EXPECT_EQ(q.instances("Paging File"), (std::vector<std::string>{"_Total", "/dev/nvme0n1p3", "/swap file"}));
    PDH_HCOUNTER partUse = q.add("Paging File", "/dev/nvme0n1p3", "% Usage");
    PDH_HCOUNTER partUsed = q.add("Paging File", "/dev/nvme0n1p3", "Usage Bytes");
    PDH_HCOUNTER partSize = q.add("Paging File", "/dev/nvme0n1p3", "Size Bytes");
    PDH_HCOUNTER fileUse = q.add("Paging File", "/swap file", "% Usage");
    PDH_HCOUNTER fileSize = q.add("Paging File", "/swap file", "Size Bytes");
    PDH_HCOUNTER escaped = q.add("Paging File", "/swap\\040file", "% Usage");
    PDH_HCOUNTER totalUse = q.add("Paging File", "_Total", "% Usage");
    PDH_HCOUNTER totalUsed = q.add("Paging File", "_Total", "Usage Bytes");
    PDH_HCOUNTER totalSize = q.add("Paging File", "_Total", "Size Bytes");
    q.collect();
    // "/dev/nvme0n1p3 partition 8388604 1048576 -2", "/swap\040file file 2097148 0 -3" (KiB)
    EXPECT_NEAR(q.value(partUse), 100.0 * 1048576 / 8388604, 1e-9);
    EXPECT_DOUBLE_EQ(q.value(partUsed), 1048576 * kKiB);
    EXPECT_DOUBLE_EQ(q.value(partSize), 8388604 * kKiB);
    EXPECT_DOUBLE_EQ(q.value(fileUse), 0.0);
    EXPECT_DOUBLE_EQ(q.value(fileSize), 2097148 * kKiB);
    EXPECT_EQ(q.status(escaped), PDH_CSTATUS_NO_INSTANCE);
    // meminfo: SwapTotal 10485752, SwapFree 9437176 kB.
    EXPECT_NEAR(q.value(totalUse), 100.0 * 1048576 / 10485752, 1e-9);
    EXPECT_DOUBLE_EQ(q.value(totalUsed), 1048576 * kKiB);
    EXPECT_DOUBLE_EQ(q.value(totalSize), 10485752 * kKiB);
}

TEST(PagingFileCounters, WithoutSwapOnlyTheTotalAtZero) {
    TreeQuery q("vm618-t0", kT0);
    EXPECT_EQ(q.instances("Paging File"), (std::vector<std::string>{"_Total"}));
    PDH_HCOUNTER use = q.add("Paging File", "_Total", "% Usage");
    PDH_HCOUNTER size = q.add("Paging File", "_Total", "Size Bytes");
    PDH_HCOUNTER gone = q.add("Paging File", "/dev/zram0", "Usage Bytes");
    q.collect();
    EXPECT_DOUBLE_EQ(q.value(use), 0.0);
    EXPECT_DOUBLE_EQ(q.value(size), 0.0);
    EXPECT_EQ(q.status(gone), PDH_CSTATUS_NO_INSTANCE);
}

TEST(SystemCounters, LoadAveragesAndFileHandles) {
    TreeQuery q("vm618-t1", kT1);
    PDH_HCOUNTER l1 = q.add("System", "", "Load Average 1 Minute");
    PDH_HCOUNTER l5 = q.add("System", "", "Load Average 5 Minutes");
    PDH_HCOUNTER l15 = q.add("System", "", "Load Average 15 Minutes");
    PDH_HCOUNTER allocated = q.add("System", "", "File Handles Allocated");
    PDH_HCOUNTER maximum = q.add("System", "", "File Handles Maximum");
    PDH_HCOUNTER inUse = q.add("System", "", "% File Handles In Use");
    q.collect();
    // loadavg "9.46 9.13 5.79 10/196 11363"; file-nr "1568 0 2466127"
    EXPECT_NEAR(q.value(l1), 9.46, 1e-12);
    EXPECT_NEAR(q.value(l5), 9.13, 1e-12);
    EXPECT_NEAR(q.value(l15), 5.79, 1e-12);
    EXPECT_EQ(q.read(l1, PDH_FMT_LONG).longValue, 9);
    EXPECT_DOUBLE_EQ(q.value(allocated), 1568);
    EXPECT_DOUBLE_EQ(q.value(maximum), 2466127);
    EXPECT_NEAR(q.value(inUse), 100.0 * 1568 / 2466127, 1e-12);
    // An older tree without file-nr and loadavg: the counters, not the object, fail.
    TreeQuery old("vm-4.19", 1000);
    PDH_HCOUNTER oldLoad = old.add("System", "", "Load Average 1 Minute");
    PDH_HCOUNTER oldFiles = old.add("System", "", "File Handles Allocated");
    PDH_HCOUNTER oldCtxt = old.add("System", "", "Context Switches/sec");
    old.collect();
    EXPECT_EQ(old.status(oldLoad), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(old.status(oldFiles), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(old.status(oldCtxt), PDH_CSTATUS_VALID_DATA);
}

TEST(ProcessCounters, DiskBytesContextSwitchesAndNice) {
    TreeQuery q("vm618-t0", kT0);
    PDH_HCOUNTER written = q.add("Process", "bash:11064", "Disk Write Bytes/sec");
    PDH_HCOUNTER read = q.add("Process", "bash:11064", "Disk Read Bytes/sec");
    PDH_HCOUNTER switches = q.add("Process", "bash:11064", "Context Switches/sec");
    PDH_HCOUNTER nice = q.add("Process", "process_api:1", "Priority Base");
    PDH_HCOUNTER bashNice = q.add("Process", "bash:11064", "Priority Base");
    PDH_HCOUNTER totalNice = q.add("Process", "_Total", "Priority Base");
    PDH_HCOUNTER totalWritten = q.add("Process", "_Total", "Disk Write Bytes/sec");
    q.collect();
    q.moment("vm618-t1", kT1);
    // bash:11064 ran dd of 20 MiB between the moments: io write_bytes 20480 ->
    // 21434368, read_bytes 0 -> 98304; status voluntary 4 -> 7, nonvoluntary 0.
    EXPECT_NEAR(q.value(written), (21434368.0 - 20480) / kElapsed, 1e-6);
    EXPECT_NEAR(q.value(read), 98304 / kElapsed, 1e-6);
    EXPECT_NEAR(q.value(switches), 3 / kElapsed, 1e-9);
    EXPECT_EQ(q.read(nice, PDH_FMT_LONG).longValue, -10);  // field 19 of 1/stat
    EXPECT_EQ(q.read(bashNice, PDH_FMT_LONG).longValue, 0);
    // A sum of nice values means nothing.
    EXPECT_EQ(q.status(totalNice), PDH_CSTATUS_INVALID_DATA);
    // The total grows by each surviving process's own delta (11064) plus the
    // whole count of the one born since (11348: 155648); 11111 exited.
    EXPECT_NEAR(q.value(totalWritten), (21434368.0 - 20480 + 155648) / kElapsed, 1e-6);
}

TEST(PhysicalDiskCounters, LatencyOfTheCompletionsInTheInterval) {
    TreeQuery q("vm618-t0", kT0);
    PDH_HCOUNTER perRead = q.add("PhysicalDisk", "vda", "Avg. Disk ms/Read");
    PDH_HCOUNTER perWrite = q.add("PhysicalDisk", "vda", "Avg. Disk ms/Write");
    PDH_HCOUNTER perTransfer = q.add("PhysicalDisk", "vda", "Avg. Disk ms/Transfer");
    q.collect();
    // Since boot, as iostat's first report: 41054 ms over 52203 reads.
    EXPECT_NEAR(q.value(perRead), 41054.0 / 52203, 1e-9);
    q.moment("vm618-t1", kT1);
    // vda: reads 52203 -> 52206, read ms 41054 -> 41055; writes 51271 -> 51301,
    // write ms 60128 -> 60167; discards 19110 -> 19114, discard ms 4441 -> 4444;
    // flushes 4857 and flush ms 290 unchanged.
    EXPECT_NEAR(q.value(perRead), 1.0 / 3, 1e-9);
    EXPECT_NEAR(q.value(perWrite), 39.0 / 30, 1e-9);
    EXPECT_NEAR(q.value(perTransfer), (1.0 + 39 + 3) / (3 + 30 + 4), 1e-9);
}

TEST(PhysicalDiskCounters, NoCompletionReadsZeroAndMillisecondsWrapAt32Bits) {
    const CounterDef* perRead = findCounter(*findObject("PhysicalDisk"), "Avg. Disk ms/Read");
    ASSERT_NE(perRead, nullptr);
    const auto sample = [](double time, std::uint64_t reads, std::uint64_t ms) {
        RawRecord r;
        r.status = PDH_CSTATUS_VALID_DATA;
        r.time = time;
        r.set(field::Reads, reads);
        r.set(field::ReadMs, ms);
        return r;
    };
    const RawRecord idle0 = sample(10, 500, 4000);
    const RawRecord idle1 = sample(11, 500, 4000);
    EXPECT_EQ(computeValue(*perRead, &idle0, idle1, false).value, 0.0);
    EXPECT_EQ(computeValue(*perRead, &idle0, idle1, false).cstatus, PDH_CSTATUS_VALID_DATA);
    const RawRecord beforeWrap = sample(10, 500, 0xFFFFFFF0u);
    const RawRecord afterWrap = sample(11, 504, 0x10u);  // 32 ms later
    EXPECT_DOUBLE_EQ(computeValue(*perRead, &beforeWrap, afterWrap, false).value, 8.0);
    EXPECT_EQ(computeValue(*perRead, nullptr, sample(10, 0, 0), false).value, 0.0);
}

TEST(LogicalDiskCounters, FreeInodesFromStatvfsAndNoneWithoutInodes) {
    TreeQuery q("vm618-t0", kT0);
    q.reader->fileSystems["/"] = {4096, 66000000, 45000000, 21000000, 4000000, 1000000};
    q.reader->fileSystems["/dev"] = {4096, 3083541, 3083541, 3083541, 0, 0};  // no inodes to count
    PDH_HCOUNTER rootShare = q.add("LogicalDisk", "/", "% Free Inodes");
    PDH_HCOUNTER rootFree = q.add("LogicalDisk", "/", "Free Inodes");
    PDH_HCOUNTER devShare = q.add("LogicalDisk", "/dev", "% Free Inodes");
    PDH_HCOUNTER devFree = q.add("LogicalDisk", "/dev", "Free Inodes");
    PDH_HCOUNTER devSpace = q.add("LogicalDisk", "/dev", "% Free Space");
    PDH_HCOUNTER totalShare = q.add("LogicalDisk", "_Total", "% Free Inodes");
    q.collect();
    EXPECT_DOUBLE_EQ(q.value(rootShare), 25.0);  // f_favail 1000000 of f_files 4000000
    EXPECT_DOUBLE_EQ(q.value(rootFree), 1000000);
    EXPECT_EQ(q.status(devShare), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(q.status(devFree), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(q.status(devSpace), PDH_CSTATUS_VALID_DATA);
    EXPECT_DOUBLE_EQ(q.value(totalShare), 25.0);  // /dev adds no inodes
}

}  // namespace
}  // namespace vantorel::pdh
