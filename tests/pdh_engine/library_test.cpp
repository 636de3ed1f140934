// The engine over synthetic trees held in memory: statuses, handles, the
// formulas' edge cases and how often each source is read.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include <unistd.h>

#include "fake_reader.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {
namespace {

using testing::FakeReader;
using testing::statLine;

class Engine : public ::testing::Test {
protected:
    void SetUp() override {
        fake->files["/t/proc/stat"] =
            "cpu  100 20 50 800 30 0 0 0 40 5\n"
            "cpu0 60 20 20 400 0 0 0 0 40 5\n"
            "cpu3 40 0 30 400 30 0 0 0 0 0\n"
            "intr 5000 1 2\nctxt 9000\nbtime 1\nprocesses 300\nprocs_running 2\nprocs_blocked 1\n";
        fake->files["/t/proc/meminfo"] =
            "MemTotal: 8000 kB\nMemFree: 1000 kB\nMemAvailable: 3145728 kB\nBuffers: 10 kB\nCached: 20 kB\n"
            "SwapTotal: 400 kB\nSwapFree: 100 kB\nSReclaimable: 30 kB\nCommitLimit: 2000 kB\nCommitted_AS: 500 kB\n";
        fake->files["/t/proc/vmstat"] = "pgfault 1000\npswpin 10\npswpout 30\n";
        fake->files["/t/proc/uptime"] = "1000.00 1500.00\n";
        fake->files["/t/proc/net/dev"] = netDev(4294967000ull, 8589934592ull);
        fake->files["/t/proc/diskstats"] = diskstats(4294966796ull);
        fake->directories["/t/sys/block"] = {"sda", "loop0"};
        fake->directories["/t/proc"] = {"self", "net"};
        query = open();
    }

    static std::string netDev(unsigned long long rx, unsigned long long tx) {
        return "Inter-|   Receive |  Transmit\n face |bytes packets errs drop fifo frame compressed multicast|bytes\n"
               "  eth0: " + std::to_string(rx) + " 10 1 2 0 0 0 0 " + std::to_string(tx) + " 20 3 4 0 0 0 0\n";
    }
    static std::string diskstats(unsigned long long ioTicks) {
        return "   8       0 sda 100 0 800 50 200 0 1600 70 3 " + std::to_string(ioTicks) + " 500 0 0 0 0\n"
               "   8       1 sda1 100 0 800 50 200 0 1600 70 3 90 500 0 0 0 0\n"
               "   7       0 loop0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n";
    }

    PDH_HQUERY open() {
        PDH_HQUERY q = nullptr;
        EXPECT_EQ(lib.openQuery(1, &q), ERROR_SUCCESS);
        return q;
    }
    PDH_HCOUNTER add(const std::string& path) {
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    // Every read must agree with itself: success exactly when CStatus is good.
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c, DWORD format = PDH_FMT_LONG, PDH_STATUS* status = nullptr) {
        PDH_FMT_COUNTERVALUE v{};
        v.CStatus = 0xDEAD;
        const PDH_STATUS s = lib.formattedValue(c, format, nullptr, &v);
        if (status != nullptr) *status = s;
        EXPECT_EQ(s == ERROR_SUCCESS, v.CStatus == PDH_CSTATUS_VALID_DATA);
        return v;
    }
    double readDouble(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c, PDH_FMT_DOUBLE);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    void collect() { ASSERT_EQ(lib.collect(query), ERROR_SUCCESS); }

    std::shared_ptr<FakeReader> fake = std::make_shared<FakeReader>();
    Library lib{"/t", "/t/", fake};
    PDH_HQUERY query = nullptr;
};

TEST_F(Engine, HandlesAreValidatedOnEveryCall) {
    PDH_HCOUNTER c = add("\\Memory\\Free Bytes");
    PDH_HQUERY closed = open();
    PDH_HCOUNTER onClosed = nullptr;
    ASSERT_EQ(lib.addCounter(closed, "\\Memory\\Free Bytes", 0, &onClosed), ERROR_SUCCESS);
    ASSERT_EQ(lib.closeQuery(closed), ERROR_SUCCESS);

    int local = 0;
    void* const bad[] = {nullptr, &local, reinterpret_cast<void*>(0x1234), closed, c /* a counter is no query */};
    for (void* h : bad) {
        PDH_HCOUNTER out = nullptr;
        EXPECT_EQ(lib.addCounter(h, "\\Memory\\Free Bytes", 0, &out), PDH_INVALID_HANDLE);
        EXPECT_EQ(out, nullptr);
        EXPECT_EQ(lib.collect(h), PDH_INVALID_HANDLE);
        EXPECT_EQ(lib.closeQuery(h), PDH_INVALID_HANDLE);
    }
    // Closing the query freed its counters; a query is no counter.
    for (void* h : {static_cast<void*>(nullptr), static_cast<void*>(&local), onClosed, query}) {
        PDH_FMT_COUNTERVALUE v{};
        v.CStatus = 0;
        v.largeValue = 77;
        EXPECT_EQ(lib.formattedValue(h, PDH_FMT_LONG, nullptr, &v), PDH_INVALID_HANDLE);
        EXPECT_EQ(v.CStatus, PDH_INVALID_HANDLE);
        EXPECT_EQ(v.largeValue, 0);
    }
}

TEST_F(Engine, NullPointersAndBadFormatsAreInvalidArguments) {
    PDH_HCOUNTER c = add("\\Memory\\Free Bytes");
    PDH_HCOUNTER out = nullptr;
    EXPECT_EQ(lib.openQuery(0, nullptr), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(lib.addCounter(query, nullptr, 0, &out), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(lib.addCounter(query, "\\Memory\\Free Bytes", 0, nullptr), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(lib.formattedValue(c, PDH_FMT_LONG, nullptr, nullptr), PDH_INVALID_ARGUMENT);
    collect();
    PDH_FMT_COUNTERVALUE v{};
    v.largeValue = 5;
    EXPECT_EQ(lib.formattedValue(c, PDH_FMT_LONG | PDH_FMT_DOUBLE, nullptr, &v), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(v.CStatus, PDH_INVALID_ARGUMENT);
    EXPECT_EQ(v.largeValue, 0);
    DWORD type = 0;
    EXPECT_EQ(lib.formattedValue(c, PDH_FMT_LONG, &type, &v), ERROR_SUCCESS);
    EXPECT_NE(type, 0u);
}

TEST_F(Engine, AddingResolvesPathsAgainstTheCatalogue) {
    const struct {
        const char* path;
        PDH_STATUS status;
    } cases[] = {
        {"\\processor(_total)\\% PROCESSOR TIME", ERROR_SUCCESS},
        {"\\Processor(7)\\% Idle Time", ERROR_SUCCESS},  // no such cpu now: accepted
        {"\\Process(nobody:999)\\Working Set", ERROR_SUCCESS},
        {"\\Process(no pid here)\\Working Set", ERROR_SUCCESS},
        {"", PDH_CSTATUS_NO_COUNTERNAME},
        {"\\Nothing\\Free Bytes", PDH_CSTATUS_NO_OBJECT},
        {"\\Memory\\Nothing", PDH_CSTATUS_NO_COUNTER},
        {"\\Memory(_Total)\\Free Bytes", PDH_CSTATUS_BAD_COUNTERNAME},
        {"\\Processor\\% Processor Time", PDH_CSTATUS_BAD_COUNTERNAME},
        {"\\\\host\\Memory\\Free Bytes", PDH_CSTATUS_BAD_COUNTERNAME},
    };
    for (const auto& c : cases) {
        PDH_HCOUNTER h = nullptr;
        EXPECT_EQ(lib.addCounter(query, c.path, 0, &h), c.status) << c.path;
        EXPECT_EQ(h != nullptr, c.status == ERROR_SUCCESS) << c.path;
    }
}

TEST_F(Engine, ReadsBeforeCollectHaveNoDataAndEmptyQueryCollects) {
    EXPECT_EQ(lib.collect(query), ERROR_SUCCESS);  // nothing to do is no failure
    EXPECT_EQ(fake->totalReads(), 0);
    PDH_HCOUNTER c = add("\\Memory\\Free Bytes");
    PDH_STATUS status = 0;
    const PDH_FMT_COUNTERVALUE v = read(c, PDH_FMT_LONG, &status);
    EXPECT_EQ(status, PDH_INVALID_DATA);
    EXPECT_EQ(v.CStatus, PDH_NO_DATA);
    EXPECT_EQ(v.longValue, 0);
}

TEST_F(Engine, EachNeededSourceIsReadOncePerCollectAndNoOtherIs) {
    for (int i = 0; i < 40; ++i) add("\\Processor(_Total)\\% Processor Time");
    for (int i = 0; i < 30; ++i) add("\\Processor(0)\\% User Time");
    for (int i = 0; i < 30; ++i) add("\\Memory\\Available Bytes");
    add("\\System\\Context Switches/sec");
    fake->setProcess(42, statLine(42, "worker", 10, 10, 100), "/t/");
    fake->files["/t/proc/42/status"] = "Name:\tworker\nRssAnon:\t8 kB\nVmRSS:\t16 kB\n";
    for (const char* counter : {"Working Set", "Private Bytes", "% Processor Time", "Thread Count"})
        add(std::string("\\Process(worker:42)\\") + counter);
    add("\\Process(_Total)\\Working Set");
    for (int round = 0; round < 2; ++round) {
        fake->resetCounts();
        fake->now += 1;
        collect();
        EXPECT_EQ(fake->readsOf("/t/proc/stat"), 1);
        EXPECT_EQ(fake->readsOf("/t/proc/meminfo"), 1);
        EXPECT_EQ(fake->readsOf("/t/proc/42/stat"), 1);
        EXPECT_EQ(fake->readsOf("/t/proc/42/status"), 1);
        EXPECT_EQ(fake->readsOf("/t/proc"), 1);
        EXPECT_EQ(fake->totalReads(), 5) << "a source no counter needs was read";
    }
}

TEST_F(Engine, ProcessorSharesSkipGuestAndNegativeTicks) {
    PDH_HCOUNTER busy = add("\\Processor(_Total)\\% Processor Time");
    PDH_HCOUNTER user = add("\\Processor(_Total)\\% User Time");
    PDH_HCOUNTER wait = add("\\Processor(_Total)\\% IO Wait Time");
    PDH_HCOUNTER idle = add("\\Processor(_Total)\\% Idle Time");
    PDH_HCOUNTER still = add("\\Processor(0)\\% Idle Time");
    PDH_HCOUNTER stillBusy = add("\\Processor(0)\\% Processor Time");
    PDH_HCOUNTER missing = add("\\Processor(1)\\% Processor Time");
    collect();
    // Since boot: total 1000 ticks (guest 40 and guest_nice 5 are inside user and nice).
    EXPECT_DOUBLE_EQ(readDouble(busy), 17.0);  // 100 - (800 + 30) / 10
    EXPECT_DOUBLE_EQ(readDouble(user), 12.0);  // (100 + 20) / 10
    EXPECT_EQ(read(missing).CStatus, PDH_CSTATUS_NO_INSTANCE);

    // cpu0 does not move; the total gains user 100, system 50, idle 800, and
    // iowait drops by 10, which counts as 0: total 950.
    fake->files["/t/proc/stat"] =
        "cpu  200 20 100 1600 20 0 0 0 140 5\ncpu0 60 20 20 400 0 0 0 0 40 5\ncpu3 140 0 80 1200 20 0 0 0 0 0\n"
        "intr 5000\nctxt 9000\nprocesses 300\nprocs_running 2\nprocs_blocked 1\n";
    fake->now += 2;
    collect();
    EXPECT_NEAR(readDouble(busy), 100.0 - 80000.0 / 950, 1e-9);
    EXPECT_EQ(read(busy).longValue, 16);
    EXPECT_EQ(read(wait).longValue, 0);
    EXPECT_EQ(read(idle).longValue, 84);
    EXPECT_DOUBLE_EQ(readDouble(still), 100.0);  // a cpu whose total did not move is idle
    EXPECT_DOUBLE_EQ(readDouble(stillBusy), 0.0);
}

TEST_F(Engine, NetworkCountersWrapAt32BitsButAResetIsInvalid) {
    PDH_HCOUNTER rx = add("\\Network Interface(eth0)\\Bytes Received/sec");
    PDH_HCOUNTER tx = add("\\Network Interface(eth0)\\Bytes Sent/sec");
    PDH_HCOUNTER errors = add("\\Network Interface(eth0)\\Packets Received Errors");
    PDH_HCOUNTER gone = add("\\Network Interface(eth9)\\Bytes Sent/sec");
    collect();
    EXPECT_NEAR(readDouble(rx), 4294967000.0 / 1000, 1e-6);  // since boot
    EXPECT_EQ(read(errors).longValue, 1);
    EXPECT_EQ(read(gone).CStatus, PDH_CSTATUS_NO_INSTANCE);
    fake->files["/t/proc/net/dev"] = netDev(704, 100);
    fake->now += 2;
    collect();
    EXPECT_NEAR(readDouble(rx), 500.0, 1e-9);  // 1000 bytes across the wrap in 2 s
    PDH_STATUS status = 0;
    const PDH_FMT_COUNTERVALUE v = read(tx, PDH_FMT_LONG, &status);
    EXPECT_EQ(status, PDH_INVALID_DATA);
    EXPECT_EQ(v.CStatus, PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(v.longValue, 0);
}

TEST_F(Engine, DiskMillisecondFieldsWrapAndTotalIsWholeDisksOnly) {
    PDH_HCOUNTER busy = add("\\PhysicalDisk(sda)\\% Disk Time");
    PDH_HCOUNTER totalBusy = add("\\PhysicalDisk(_Total)\\% Disk Time");
    PDH_HCOUNTER reads = add("\\PhysicalDisk(_Total)\\Disk Reads/sec");
    PDH_HCOUNTER partition = add("\\PhysicalDisk(sda1)\\Disk Reads/sec");
    collect();
    EXPECT_NEAR(readDouble(reads), 0.1, 1e-12);  // 100 reads in 1000 s, sda1 not added
    EXPECT_EQ(read(partition).CStatus, PDH_CSTATUS_NO_INSTANCE);
    fake->files["/t/proc/diskstats"] = diskstats(204);  // io_ticks wrapped: +704 ms
    fake->now += 1;
    collect();
    EXPECT_NEAR(readDouble(busy), 70.4, 1e-9);
    EXPECT_NEAR(readDouble(totalBusy), 70.4, 1e-9);
}

TEST_F(Engine, MemoryGaugesAndFormatRange) {
    PDH_HCOUNTER avail = add("\\Memory\\Available Bytes");
    PDH_HCOUNTER mb = add("\\Memory\\Available MBytes");
    PDH_HCOUNTER cache = add("\\Memory\\Cache Bytes");
    PDH_HCOUNTER swap = add("\\Paging File(_Total)\\% Usage");
    PDH_HCOUNTER pages = add("\\Memory\\Pages/sec");
    collect();
    PDH_STATUS status = 0;
    PDH_FMT_COUNTERVALUE v = read(avail, PDH_FMT_LONG, &status);  // 3 GiB does not fit a LONG
    EXPECT_EQ(status, PDH_INVALID_DATA);
    EXPECT_EQ(v.CStatus, PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(v.longValue, 2147483647);
    EXPECT_EQ(read(avail, PDH_FMT_LARGE).largeValue, 3221225472);
    EXPECT_EQ(read(mb).longValue, 3072);
    EXPECT_EQ(read(cache).longValue, 60 * 1024);
    EXPECT_EQ(read(swap).longValue, 75);
    EXPECT_NEAR(readDouble(pages), 0.04, 1e-12);  // (10 + 30) pages since boot, 1000 s
}

TEST_F(Engine, AnUnreadableSourceFailsOnlyItsCounters) {
    fake->errors["/t/proc/meminfo"] = EACCES;
    PDH_HCOUNTER mem = add("\\Memory\\Free Bytes");
    PDH_HCOUNTER ctx = add("\\System\\Context Switches/sec");
    collect();
    EXPECT_EQ(read(mem).CStatus, PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(read(ctx).longValue, 9);  // 9000 since boot over 1000 s
}

TEST_F(Engine, HostileProcessNameResolvesAndReadsFromStart) {
    const std::string comm = "a) b\\c:(d\n";
    // utime 150 + stime 50 ticks = 2 s of cpu; started at 500 ticks = 5 s after boot.
    fake->setProcess(42, statLine(42, comm, 150, 50, 500, 3, 7, 4), "/t/");
    fake->now = 15.0;
    const std::vector<std::string> listed = lib.enumeration().instances("Process");
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], "_Total");
    EXPECT_EQ(listed[1], comm + ":42");
    const std::string base = makeCounterPath("Process", listed[1], "", true);
    PDH_HCOUNTER cpu = add(base + "% Processor Time");
    PDH_HCOUNTER id = add(base + "ID Process");
    PDH_HCOUNTER parent = add(base + "Creating Process ID");
    PDH_HCOUNTER ws = add(base + "Working Set");
    PDH_HCOUNTER elapsed = add(base + "Elapsed Time");
    collect();
    EXPECT_DOUBLE_EQ(readDouble(cpu), 20.0);  // 2 s in the 10 s since it started
    EXPECT_EQ(read(id).longValue, 42);
    EXPECT_EQ(read(parent).longValue, 7);
    EXPECT_EQ(read(ws).longValue, 3 * 4096);
    EXPECT_EQ(read(elapsed).longValue, 10);
}

TEST_F(Engine, ProcessIdentityIsFixedWhenFirstFound) {
    PDH_HCOUNTER later = add("\\Process(job:50)\\Thread Count");  // no pid 50 yet
    collect();
    EXPECT_EQ(read(later).CStatus, PDH_CSTATUS_NO_INSTANCE);
    fake->setProcess(50, statLine(50, "job", 0, 0, 100, 1, 1, 3), "/t/");
    fake->now += 1;
    collect();
    EXPECT_EQ(read(later).longValue, 3);

    PDH_HCOUNTER renamed = add("\\Process(job:50)\\ID Process");
    fake->setProcess(50, statLine(50, "other", 0, 0, 100), "/t/");  // same process, new name
    fake->now += 1;
    collect();
    EXPECT_EQ(read(renamed).CStatus, PDH_CSTATUS_NO_INSTANCE);

    fake->setProcess(50, statLine(50, "job", 0, 0, 9000, 1, 1, 8), "/t/");  // pid reused
    fake->now += 1;
    collect();
    EXPECT_EQ(read(later).CStatus, PDH_CSTATUS_NO_INSTANCE);
    EXPECT_EQ(read(renamed).CStatus, PDH_CSTATUS_NO_INSTANCE);
    // A counter added now finds the new process.
    PDH_HCOUNTER fresh = add("\\Process(job:50)\\Thread Count");
    fake->now += 1;
    collect();
    EXPECT_EQ(read(fresh).longValue, 8);
    EXPECT_EQ(read(later).CStatus, PDH_CSTATUS_NO_INSTANCE);
}

TEST_F(Engine, ProcessTotalNeverGoesBackwardsWhenProcessesExit) {
    fake->setProcess(10, statLine(10, "a", 500, 0, 100), "/t/");
    fake->setProcess(11, statLine(11, "b", 300, 0, 100), "/t/");
    PDH_HCOUNTER total = add("\\Process(_Total)\\% Processor Time");
    PDH_HCOUNTER processes = add("\\System\\Processes");
    collect();
    EXPECT_NEAR(readDouble(total), 0.8, 1e-9);  // 8 s of cpu in 1000 s since boot
    EXPECT_EQ(read(processes).longValue, 2);
    // b exits; a uses 1 s; c is born and uses 0.5 s, all in 2 s.
    fake->files.erase("/t/proc/11/stat");
    fake->directories["/t/proc"] = {"10", "12"};
    fake->setProcess(10, statLine(10, "a", 600, 0, 100), "/t/");
    fake->setProcess(12, statLine(12, "c", 25, 25, 100050), "/t/");
    fake->now += 2;
    collect();
    EXPECT_NEAR(readDouble(total), 75.0, 1e-9);
}

// A pid reused between the stat read and the status read of one collect: the
// sample must not carry the newcomer's memory, for the instance or the total.
TEST_F(Engine, APidReusedMidCollectLendsNoNumbers) {
    fake->setProcess(42, statLine(42, "worker", 10, 10, 100), "/t/");
    fake->files["/t/proc/42/status"] = "Name:\tworker\nRssAnon:\t8 kB\nVmRSS:\t16 kB\n";
    PDH_HCOUNTER mine = add("\\Process(worker:42)\\Private Bytes");
    PDH_HCOUNTER total = add("\\Process(_Total)\\Private Bytes");
    collect();
    EXPECT_EQ(read(mine).longValue, 8 * 1024);
    EXPECT_EQ(read(total).longValue, 8 * 1024);

    fake->afterRead = [&](const std::string& path) {
        if (path != "/t/proc/42/stat") return;
        fake->afterRead = nullptr;  // the old process exits and a new one takes its pid, once
        ++fake->incarnation["/t/proc/42"];
        fake->setProcess(42, statLine(42, "worker", 0, 0, 90000), "/t/");
        fake->files["/t/proc/42/status"] = "Name:\tworker\nRssAnon:\t999 kB\nVmRSS:\t999 kB\n";
    };
    fake->now += 1;
    collect();
    EXPECT_NE(read(mine).longValue, 999 * 1024);
    EXPECT_NE(read(mine).CStatus, PDH_CSTATUS_VALID_DATA);
    EXPECT_NE(read(total).longValue, 999 * 1024);
}

// Each process of a long scan is read at its own moment: a process read later
// in this collect than in the last one has a longer interval of its own. The
// total must not claim more processor time than passed, nor pass the machine.
TEST_F(Engine, ProcessTotalTimesEachProcessWhereItIsRead) {
    fake->setProcess(41, statLine(41, "idle", 0, 0, 100), "/t/");
    fake->setProcess(42, statLine(42, "spin", 0, 0, 100), "/t/");
    fake->directories["/t/proc"] = {"41", "42"};
    PDH_HCOUNTER total = add("\\Process(_Total)\\% Processor Time");
    collect();
    // One second later the scan reaches 42 only half a second after it began:
    // 42 ran flat out for its own 1.5 s, 150 ticks, which is 100 % of one cpu.
    fake->now += 1;
    fake->setProcess(42, statLine(42, "spin", 150, 0, 100), "/t/");
    fake->afterRead = [&](const std::string& path) {
        if (path == "/t/proc/41/stat") fake->now += 0.5;
    };
    collect();
    fake->afterRead = nullptr;
    EXPECT_NEAR(readDouble(total), 100.0, 1e-6);

    // Whatever the ticks say, no share of time passes 100 x the processors.
    PDH_HCOUNTER spin = add("\\Process(spin:42)\\% Processor Time");
    fake->now += 1;
    collect();
    const long cpus = ::sysconf(_SC_NPROCESSORS_ONLN);
    fake->setProcess(42, statLine(42, "spin", 150 + 100000, 0, 100), "/t/");
    fake->now += 1;
    collect();
    EXPECT_NEAR(read(spin, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100).doubleValue, 100.0 * cpus, 1e-9);
    EXPECT_NEAR(read(total, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100).doubleValue, 100.0 * cpus, 1e-9);
}

TEST_F(Engine, LogicalDiskFollowsDfAndSkipsNetworkMounts) {
    fake->files["/t/proc/self/mountinfo"] =
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 0:5 / /proc rw - proc proc rw\n"
        "3 1 8:1 /home /home rw - ext4 /dev/sda1 rw\n"
        "4 1 0:40 / /mnt/nfs rw - nfs4 server:/x rw\n"
        "5 1 0:41 / /mnt/with\\040space rw - tmpfs tmpfs rw\n"
        "6 1 0:42 / /empty rw - tmpfs tmpfs rw\n";
    // used 600 of 1000 blocks, 300 available to users: Use% = ceil(60000 / 900) = 67.
    fake->fileSystems["/"] = {4096, 1000, 400, 300};
    fake->fileSystems["/mnt/with space"] = {1024, 100, 100, 100};
    fake->fileSystems["/empty"] = {4096, 0, 0, 0};
    const std::vector<std::string> listed = lib.enumeration().instances("LogicalDisk");
    EXPECT_EQ(listed, (std::vector<std::string>{"_Total", "/", "/mnt/with space"}));
    EXPECT_EQ(fake->readsOf("statvfs:/mnt/nfs"), 0);
    PDH_HCOUNTER free = add("\\LogicalDisk(/)\\% Free Space");
    PDH_HCOUNTER mb = add("\\LogicalDisk(/)\\Free Megabytes");
    PDH_HCOUNTER spaced = add("\\LogicalDisk(/mnt/with space)\\% Free Space");
    collect();
    EXPECT_EQ(read(free).longValue, 33);
    EXPECT_NEAR(readDouble(mb), 300.0 * 4096 / 1048576, 1e-12);
    EXPECT_EQ(read(spaced).longValue, 100);
}

TEST(StatusText, NamesKnownStatuses) {
    EXPECT_STREQ(statusName(PDH_INVALID_HANDLE), "PDH_INVALID_HANDLE");
    EXPECT_STREQ(statusName(PDH_CSTATUS_NO_INSTANCE), "PDH_CSTATUS_NO_INSTANCE");
    EXPECT_STREQ(statusName(0x12345678), "unknown status");
    EXPECT_NE(std::string(statusMeaning(PDH_NO_DATA)), statusMeaning(PDH_INVALID_DATA));
}

}  // namespace
}  // namespace vantorel::pdh
