// The engine over the two moments captured from the build machine ("vm"),
// collected one after the other; every expected number is worked out by hand
// from the fixture text, quoted beside it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "tests/support/fixture_tree_reader.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {
namespace {

// The two captured moments of vm-t0 and vm-t1; statvfs and the clock are fakes
// (the clock reads the tree's /proc/uptime, as the kernel's would).
struct SwitchingReader : testing::FixtureTreeReader {
    SwitchingReader() {
        tree = std::string(VANTOREL_FIXTURES) + "/vm-t0/";
        now = 466.67;
        fileSystems["/"] = {4096, 66000000, 45000000, 21000000};
        fileSystems["/dev"] = {4096, 3083541, 3083541, 3083541};
    }
};

class Fixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS); }

    PDH_HCOUNTER add(const std::string& object, const std::string& instance, const std::string& counter) {
        for (const auto& info : lib.enumeration().objects())
            if (info.name == object) return addPath(makeCounterPath(object, instance, counter, info.hasInstances));
        ADD_FAILURE() << "no object " << object;
        return nullptr;
    }
    PDH_HCOUNTER addPath(const std::string& path) {
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c, DWORD format) {
        PDH_FMT_COUNTERVALUE v{};
        lib.formattedValue(c, format, nullptr, &v);
        return v;
    }
    double d(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c, PDH_FMT_DOUBLE);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    LONG l(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c, PDH_FMT_LONG);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.longValue;
    }
    void secondMoment() {
        reader->tree = std::string(VANTOREL_FIXTURES) + "/vm-t1/";
        reader->now = 468.88;  // t1 uptime; 2.21 s after t0
        ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    }

    std::shared_ptr<SwitchingReader> reader = std::make_shared<SwitchingReader>();
    Library lib{"/fx/", "/fx/", reader};
    PDH_HQUERY query = nullptr;
};

TEST_F(Fixture, ProcessorAndSystemAcrossTheTwoMoments) {
    PDH_HCOUNTER busy = add("Processor", "_Total", "% Processor Time");
    PDH_HCOUNTER user = add("Processor", "_Total", "% User Time");
    PDH_HCOUNTER sys = add("Processor", "_Total", "% Privileged Time");
    PDH_HCOUNTER cpu0 = add("Processor", "0", "% Processor Time");
    PDH_HCOUNTER ctxt = add("System", "", "Context Switches/sec");
    PDH_HCOUNTER intr = add("System", "", "Interrupts/sec");
    PDH_HCOUNTER up = add("System", "", "System Up Time");
    PDH_HCOUNTER threads = add("System", "", "Threads");
    PDH_HCOUNTER processes = add("System", "", "Processes");
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    // t0 "cpu 2248 0 2174 87381 1066 0 45 15": total 92929, idle+iowait 88447.
    EXPECT_NEAR(d(busy), 100.0 - 100.0 * 88447 / 92929, 1e-9);
    EXPECT_EQ(l(threads), 48);  // 45 + 1 + 1 + 1
    EXPECT_EQ(l(processes), 4);

    secondMoment();
    // t1 "cpu 2255 0 2191 87800 1066 0 45 15": +7 user, +17 system, +419 idle of 443.
    EXPECT_NEAR(d(busy), 100.0 * 24 / 443, 1e-9);
    EXPECT_EQ(l(busy), 5);
    EXPECT_EQ(l(user), 2);  // 1.58
    EXPECT_EQ(l(sys), 4);   // 3.84
    // cpu0 +1 user +1 system +219 idle: 0.905 % reads 1, not 0.
    EXPECT_EQ(l(cpu0), 1);
    EXPECT_NEAR(d(ctxt), (376239.0 - 375463) / 2.21, 1e-6);
    EXPECT_NEAR(d(intr), (179709.0 - 179443) / 2.21, 1e-6);
    EXPECT_EQ(l(up), 469);  // 468.88
}

TEST_F(Fixture, MemoryAndPaging) {
    PDH_HCOUNTER mb = add("Memory", "", "Available MBytes");
    PDH_HCOUNTER cache = add("Memory", "", "Cache Bytes");
    PDH_HCOUNTER faults = add("Memory", "", "Page Faults/sec");
    PDH_HCOUNTER committed = add("Memory", "", "% Committed Bytes In Use");
    PDH_HCOUNTER swap = add("Paging File", "_Total", "% Usage");
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    EXPECT_NEAR(d(faults), 1838566 / 466.67, 1e-6);  // since boot
    secondMoment();
    EXPECT_EQ(l(mb), 23787);                                   // 24358344 kB / 1024
    EXPECT_EQ(read(cache, PDH_FMT_LARGE).largeValue, 215339008);  // (2412 + 75016 + 132864) kB
    EXPECT_NEAR(d(faults), (1861850.0 - 1838566) / 2.21, 1e-6);
    EXPECT_NEAR(d(committed), 100.0 * 77540 / 12341804, 1e-9);
    EXPECT_EQ(l(swap), 0);  // SwapTotal 0
}

TEST_F(Fixture, ProcessesIncludingAHostileName) {
    const std::vector<std::string> listed = lib.enumeration().instances("Process");
    const std::string hostile = "w (x) y:\\\nz):5915";
    ASSERT_NE(std::find(listed.begin(), listed.end(), hostile), listed.end());
    EXPECT_EQ(listed.front(), "_Total");
    PDH_HCOUNTER bashCpu = add("Process", "bash:4278", "% Processor Time");
    PDH_HCOUNTER bashWs = add("Process", "bash:4278", "Working Set");
    PDH_HCOUNTER bashParent = add("Process", "bash:4278", "Creating Process ID");
    PDH_HCOUNTER bashElapsed = add("Process", "bash:4278", "Elapsed Time");
    PDH_HCOUNTER hostileId = add("Process", hostile, "ID Process");
    PDH_HCOUNTER hostilePrivate = add("Process", hostile, "Private Bytes");
    PDH_HCOUNTER hostileRead = add("Process", hostile, "IO Read Bytes/sec");
    PDH_HCOUNTER initIo = add("Process", "process_api:1", "IO Read Bytes/sec");
    PDH_HCOUNTER initFaults = add("Process", "process_api:1", "Page Faults/sec");
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    // bash: (14) utime 1 + (15) stime 3 ticks since (22) starttime 30716 ticks (307.16 s).
    EXPECT_NEAR(d(bashCpu), 100.0 * 0.04 / (466.67 - 307.16), 1e-9);
    EXPECT_NEAR(d(hostileRead), 6988 / (466.67 - 466.33), 1e-6);
    EXPECT_EQ(read(initIo, PDH_FMT_LONG).CStatus, PDH_CSTATUS_INVALID_DATA);  // no io file
    secondMoment();
    EXPECT_EQ(d(bashCpu), 0.0);
    EXPECT_EQ(l(bashWs), 987 * 4096);
    EXPECT_EQ(l(bashParent), 4276);
    EXPECT_EQ(l(bashElapsed), 162);  // 468.88 - 307.16
    EXPECT_EQ(l(hostileId), 5915);
    EXPECT_EQ(l(hostilePrivate), 112 * 1024);
    EXPECT_EQ(d(hostileRead), 0.0);
    EXPECT_NEAR(d(initFaults), 3 / 2.21, 1e-9);  // minflt 19465 -> 19468
}

TEST_F(Fixture, DisksNetworkAndFileSystems) {
    EXPECT_EQ(lib.enumeration().instances("PhysicalDisk"), (std::vector<std::string>{"_Total", "vda"}));
    EXPECT_EQ(lib.enumeration().instances("LogicalDisk"), (std::vector<std::string>{"_Total", "/dev", "/"}));
    const std::vector<std::string> nics = lib.enumeration().instances("Network Interface");
    EXPECT_EQ(nics, (std::vector<std::string>{"lo", "ifb0", "ifb1", "eth0"}));
    PDH_HCOUNTER reads = add("PhysicalDisk", "vda", "Disk Reads/sec");
    PDH_HCOUNTER bytes = add("PhysicalDisk", "_Total", "Disk Read Bytes/sec");
    PDH_HCOUNTER rx = add("Network Interface", "eth0", "Bytes Received/sec");
    PDH_HCOUNTER speed = add("Network Interface", "eth0", "Current Bandwidth");
    PDH_HCOUNTER rootFree = add("LogicalDisk", "/", "% Free Space");
    PDH_HCOUNTER totalFree = add("LogicalDisk", "_Total", "% Free Space");
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    EXPECT_NEAR(d(reads), 63587 / 466.67, 1e-9);
    EXPECT_NEAR(d(bytes), 2654842 * 512 / 466.67, 1e-6);
    EXPECT_NEAR(d(rx), 77920112 / 466.67, 1e-6);
    EXPECT_EQ(read(speed, PDH_FMT_LONG).CStatus, PDH_CSTATUS_INVALID_DATA);  // speed "-1"
    // "/": used 21000000 blocks, 21000000 available: Use% 50.
    EXPECT_EQ(l(rootFree), 50);
    // _Total: used 21000000 + 0, avail 21000000 + 3083541: ceil(46.59...) = 47.
    EXPECT_EQ(l(totalFree), 53);
    secondMoment();
    EXPECT_EQ(d(reads), 0.0);
    EXPECT_EQ(d(rx), 0.0);
}

}  // namespace
}  // namespace vantorel::pdh
