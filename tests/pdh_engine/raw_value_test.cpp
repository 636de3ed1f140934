// The raw-value read: each kind's cumulative or current value in base units, the
// statuses shared with the formatted read, and the property an exporter relies
// on, that the rate of a raw rate counter is the counter's own value.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "pdh/pdh.h"
#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"
#include "fake_reader.h"

namespace vantorel::pdh {
namespace {

using testing::FakeReader;

std::string netDev(unsigned long long rx) {
    return "Inter-|   Receive |  Transmit\n face |bytes packets errs drop fifo frame compressed multicast|bytes\n"
           "  eth0: " + std::to_string(rx) + " 10 1 2 0 0 0 0 5000 20 3 4 0 0 0 0\n";
}

class RawValue : public ::testing::Test {
protected:
    void SetUp() override {
        fake->files["/t/proc/stat"] =
            "cpu  100 20 50 800 30 0 0 0 40 5\ncpu0 100 20 50 800 30 0 0 0 40 5\n"
            "intr 5000 1 2\nctxt 9000\nbtime 1\nprocesses 300\nprocs_running 2\nprocs_blocked 1\n";
        fake->files["/t/proc/meminfo"] =
            "MemTotal: 8000 kB\nMemFree: 1000 kB\nMemAvailable: 3145728 kB\nBuffers: 10 kB\nCached: 20 kB\n"
            "SwapTotal: 400 kB\nSwapFree: 100 kB\nCommitLimit: 2000 kB\nCommitted_AS: 500 kB\n";
        fake->files["/t/proc/vmstat"] = "pgfault 1000\npswpin 10\npswpout 30\n";
        fake->files["/t/proc/uptime"] = "1000.25 1500.00\n";
        fake->files["/t/proc/net/dev"] = netDev(4294967000ull);
        fake->files["/t/proc/diskstats"] = "   8       0 sda 100 0 800 50 200 0 1600 70 3 4500 500 0 0 0 0\n";
        fake->directories["/t/sys/block"] = {"sda"};
        fake->directories["/t/proc"] = {"self", "net"};
        ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    }

    PDH_HCOUNTER add(const std::string& path) {
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    PDH_RAW_COUNTER raw(PDH_HCOUNTER c, PDH_STATUS* status = nullptr) {
        PDH_RAW_COUNTER v{};
        v.CStatus = 0xDEAD;
        v.FirstValue = 77;
        const PDH_STATUS s = lib.rawValue(c, nullptr, &v);
        if (status != nullptr) *status = s;
        EXPECT_EQ(s == ERROR_SUCCESS, v.CStatus == PDH_CSTATUS_VALID_DATA);
        return v;
    }
    static double base(const PDH_RAW_COUNTER& v) {
        return static_cast<double>(v.FirstValue) / static_cast<double>(v.SecondValue);
    }

    std::shared_ptr<FakeReader> fake = std::make_shared<FakeReader>();
    Library lib{"/t", "/t/", fake};
    PDH_HQUERY query = nullptr;
};

TEST_F(RawValue, EachKindInBaseUnits) {
    const double hz = static_cast<double>(::sysconf(_SC_CLK_TCK));
    const struct {
        const char* path;
        double expected;
    } cases[] = {
        {"\\Network Interface(eth0)\\Bytes Received/sec", 4294967000.0},  // cumulative bytes
        {"\\PhysicalDisk(sda)\\Disk Read Bytes/sec", 800.0 * 512},         // sectors in bytes
        {"\\PhysicalDisk(sda)\\% Disk Time", 4.5},                           // busy seconds from io_ticks ms
        {"\\PhysicalDisk(sda)\\Avg. Disk Queue Length", 0.5},                // queue-seconds from ms
        {"\\Memory\\Pages/sec", 40.0},
        {"\\Processor(_Total)\\% Processor Time", 170.0 / hz},  // busy: all but idle and iowait
        {"\\Processor(0)\\% User Time", 120.0 / hz},            // user + nice, guest inside
        {"\\Memory\\Available MBytes", 3221225472.0},           // a MiB gauge comes back in bytes
        {"\\Memory\\Available Bytes", 3221225472.0},
        {"\\Memory\\% Committed Bytes In Use", 0.25},  // a ratio as 0..1
        {"\\Paging File(_Total)\\% Usage", 0.75},
        {"\\System\\System Up Time", 1000.25},
    };
    std::vector<PDH_HCOUNTER> handles;
    for (const auto& c : cases) handles.push_back(add(c.path));
    fake->now = 1000.5;
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const PDH_RAW_COUNTER v = raw(handles[i]);
        ASSERT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA) << cases[i].path;
        EXPECT_GT(v.SecondValue, 0) << cases[i].path;
        EXPECT_NEAR(base(v), cases[i].expected, 1e-9 * cases[i].expected) << cases[i].path;
        EXPECT_EQ(v.MultiCount, 1u);
        const std::uint64_t stamp = (std::uint64_t{v.TimeStamp.dwHighDateTime} << 32) | v.TimeStamp.dwLowDateTime;
        EXPECT_EQ(stamp, 10005000000u);  // 1000.5 s in 100 ns
    }
}

TEST_F(RawValue, FailuresShareTheFormattedReadsStatuses) {
    PDH_HCOUNTER rx = add("\\Network Interface(eth0)\\Bytes Received/sec");
    PDH_HCOUNTER gone = add("\\Network Interface(eth9)\\Bytes Received/sec");
    PDH_HCOUNTER noSpeed = add("\\Network Interface(eth0)\\Current Bandwidth");
    PDH_STATUS status = 0;
    PDH_RAW_COUNTER v = raw(rx, &status);
    EXPECT_EQ(status, PDH_INVALID_DATA);
    EXPECT_EQ(v.CStatus, PDH_NO_DATA);
    EXPECT_EQ(v.FirstValue, 0);  // never half-written

    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    EXPECT_EQ(raw(gone).CStatus, PDH_CSTATUS_NO_INSTANCE);
    v = raw(noSpeed, &status);
    EXPECT_EQ(status, PDH_INVALID_DATA);
    EXPECT_EQ(v.CStatus, PDH_CSTATUS_INVALID_DATA);

    EXPECT_EQ(lib.rawValue(rx, nullptr, nullptr), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(lib.rawValue(nullptr, nullptr, &v), PDH_INVALID_HANDLE);
    EXPECT_EQ(v.CStatus, PDH_INVALID_HANDLE);
    DWORD type = 0;
    EXPECT_EQ(lib.rawValue(rx, &type, &v), ERROR_SUCCESS);
    EXPECT_EQ(type, 0x10410500u);  // the formatted read's type
    ASSERT_EQ(lib.closeQuery(query), ERROR_SUCCESS);
    EXPECT_EQ(lib.rawValue(rx, nullptr, &v), PDH_INVALID_HANDLE);
}

// Over two collects, every rate counter of every object the fake has: the raw
// values' rate is the formatted value in base units. A 32-bit wrap between the
// collects is left to the caller, as Prometheus takes a drop for a reset.
TEST_F(RawValue, RateOfRawIsTheFormattedRate) {
    struct Added {
        const CounterDef* def;
        std::string path;
        PDH_HCOUNTER handle;
    };
    std::vector<Added> added;
    for (const CounterDef& def : counterCatalogue()) {
        if (def.kind != Kind::Rate && def.kind != Kind::TickShare) continue;
        const ObjectDef& object = objectDef(def.object);
        for (const char* instance : {"eth0", "sda", "0", "_Total"}) {
            const std::string path = makeCounterPath(object.name, object.hasInstances ? instance : "", def.name,
                                                      object.hasInstances);
            if (object.name == "Process" || (!object.hasInstances && std::string(instance) != "eth0")) continue;
            added.push_back({&def, path, add(path)});
        }
    }
    fake->now = 1000.0;
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    std::vector<PDH_RAW_COUNTER> before;
    for (const Added& a : added) before.push_back(raw(a.handle));

    fake->files["/t/proc/stat"] =
        "cpu  300 20 90 1000 40 7 3 2 40 5\ncpu0 300 20 90 1000 40 7 3 2 40 5\n"
        "intr 7000 1 2\nctxt 9900\nbtime 1\nprocesses 321\nprocs_running 2\nprocs_blocked 1\n";
    fake->files["/t/proc/vmstat"] = "pgfault 1500\npswpin 12\npswpout 70\n";
    fake->files["/t/proc/net/dev"] = netDev(4294967200ull);
    fake->files["/t/proc/diskstats"] = "   8       0 sda 130 0 900 50 260 0 2000 70 3 5700 2100 0 0 0 0\n";
    fake->now = 1004.0;
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);

    int compared = 0;
    for (std::size_t i = 0; i < added.size(); ++i) {
        const PDH_RAW_COUNTER after = raw(added[i].handle);
        if (after.CStatus != PDH_CSTATUS_VALID_DATA) continue;  // no such instance in this object
        PDH_FMT_COUNTERVALUE formatted{};
        ASSERT_EQ(lib.formattedValue(added[i].handle, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nullptr, &formatted),
                  ERROR_SUCCESS)
            << added[i].path;
        double expected = formatted.doubleValue * unitToBase(added[i].def->unit);
        double elapsed = 4.0;
        if (added[i].def->kind == Kind::TickShare) {
            // A share of ticks is seconds of those ticks over seconds of all ticks.
            elapsed = 1.0;
            expected = formatted.doubleValue / 100.0 * 462.0 / static_cast<double>(after.SecondValue);
        }
        EXPECT_NEAR((base(after) - base(before[i])) / elapsed, expected, 1e-9 + 1e-9 * expected) << added[i].path;
        ++compared;
    }
    EXPECT_GE(compared, 20);
}

// The C function over the live machine: a gauge agrees with /proc/meminfo.
TEST(RawValueLive, AvailableMemoryAgreesWithMeminfo) {
    PDH_HQUERY q = nullptr;
    ASSERT_EQ(PdhOpenQueryA(nullptr, 0, &q), ERROR_SUCCESS);
    PDH_HCOUNTER c = nullptr;
    ASSERT_EQ(PdhAddCounterA(q, "\\Memory\\Available MBytes", 0, &c), ERROR_SUCCESS);
    ASSERT_EQ(PdhCollectQueryData(q), ERROR_SUCCESS);
    PDH_RAW_COUNTER v{};
    ASSERT_EQ(PdhGetRawCounterValue(c, nullptr, &v), ERROR_SUCCESS);
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    double kib = 0;
    while (std::getline(meminfo, line))
        if (line.starts_with("MemAvailable:")) std::istringstream(line.substr(13)) >> kib;
    EXPECT_EQ(v.SecondValue, 1);
    EXPECT_NEAR(static_cast<double>(v.FirstValue), kib * 1024, kib * 1024 * 0.05);
    EXPECT_EQ(PdhGetRawCounterValue(c, nullptr, nullptr), PDH_INVALID_ARGUMENT);
    EXPECT_EQ(PdhCloseQuery(q), ERROR_SUCCESS);
}

}  // namespace
}  // namespace vantorel::pdh
