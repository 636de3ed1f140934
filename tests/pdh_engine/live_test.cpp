// The engine and the C functions on this machine's own /proc and /sys.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "pdh/pdh.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {
namespace {

bool knownCStatus(DWORD s) {
    return s == PDH_CSTATUS_VALID_DATA || s == PDH_CSTATUS_NO_INSTANCE || s == PDH_CSTATUS_INVALID_DATA;
}

TEST(Live, EveryCounterOfTheFirstInstanceOfEveryObjectReads) {
    Library lib;
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    std::vector<std::pair<std::string, PDH_HCOUNTER>> counters;
    for (const ObjectInfo& object : lib.enumeration().objects()) {
        const std::vector<std::string> instances = lib.enumeration().instances(object.name);
        // An object whose kernel files this machine lacks (no PSI, no NUMA) is
        // listed with no instances.
        EXPECT_TRUE(object.hasInstances || instances.empty()) << object.name;
        if (object.hasInstances && instances.empty()) continue;
        const std::string instance = instances.empty() ? "" : instances.front();
        for (const CounterInfo& counter : object.counters) {
            const std::string path = makeCounterPath(object.name, instance, counter.name, object.hasInstances);
            PDH_HCOUNTER c = nullptr;
            ASSERT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
            counters.emplace_back(path, c);
        }
    }
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
        for (const auto& [path, c] : counters) {
            PDH_FMT_COUNTERVALUE v{};
            const PDH_STATUS s = lib.formattedValue(c, PDH_FMT_DOUBLE, nullptr, &v);
            EXPECT_TRUE(knownCStatus(v.CStatus)) << path;
            EXPECT_EQ(s == ERROR_SUCCESS, v.CStatus == PDH_CSTATUS_VALID_DATA) << path;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    // The machine-wide objects always have their sources here, but for the
    // share of the highest clock, which needs cpufreq (a virtual machine often
    // lacks it).
    const bool cpufreq = std::filesystem::exists("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq");
    for (const auto& [path, c] : counters) {
        if (!cpufreq && path.ends_with("\\% of Maximum Frequency")) continue;
        if (path.starts_with("\\Processor(") || path.starts_with("\\Memory\\") || path.starts_with("\\System\\")) {
            PDH_FMT_COUNTERVALUE v{};
            EXPECT_EQ(lib.formattedValue(c, PDH_FMT_DOUBLE, nullptr, &v), ERROR_SUCCESS) << path;
        }
    }
}

TEST(Live, RenamedChildIsListedAndReadsItsOwnPid) {
    const char* name = "a) b\\c:(d";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::prctl(PR_SET_NAME, name);
        for (;;) ::pause();
    }
    const std::string instance = std::string(name) + ":" + std::to_string(child);
    Library lib;
    bool listed = false;
    for (int i = 0; i < 200 && !listed; ++i) {
        const auto instances = lib.enumeration().instances("Process");
        listed = std::find(instances.begin(), instances.end(), instance) != instances.end();
        if (!listed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(listed);
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    PDH_HCOUNTER id = nullptr;
    PDH_HCOUNTER parent = nullptr;
    const std::string base = makeCounterPath("Process", instance, "", true);
    ASSERT_EQ(lib.addCounter(query, (base + "ID Process").c_str(), 0, &id), ERROR_SUCCESS);
    ASSERT_EQ(lib.addCounter(query, (base + "Creating Process ID").c_str(), 0, &parent), ERROR_SUCCESS);
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE v{};
    EXPECT_EQ(lib.formattedValue(id, PDH_FMT_LONG, nullptr, &v), ERROR_SUCCESS);
    EXPECT_EQ(v.longValue, child);
    EXPECT_EQ(lib.formattedValue(parent, PDH_FMT_LONG, nullptr, &v), ERROR_SUCCESS);
    EXPECT_EQ(v.longValue, ::getpid());

    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ASSERT_EQ(lib.collect(query), ERROR_SUCCESS);
    EXPECT_EQ(lib.formattedValue(id, PDH_FMT_LONG, nullptr, &v), PDH_INVALID_DATA);
    EXPECT_EQ(v.CStatus, PDH_CSTATUS_NO_INSTANCE);
}

TEST(Live, CFunctionsServeTheMonitorsSequence) {
    PDH_HQUERY query = nullptr;
    EXPECT_EQ(PdhOpenQueryA("log.blg", 1, &query), PDH_INVALID_ARGUMENT);  // live data only
    ASSERT_EQ(PdhOpenQueryA(nullptr, 1, &query), ERROR_SUCCESS);
    PDH_HCOUNTER counter = nullptr;
    ASSERT_EQ(PdhAddCounterA(query, "\\Processor(_Total)\\% Processor Time", 0, &counter), ERROR_SUCCESS);
    ASSERT_EQ(PdhCollectQueryData(query), ERROR_SUCCESS);
    PDH_FMT_COUNTERVALUE v{};
    ASSERT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LONG, nullptr, &v), ERROR_SUCCESS);
    EXPECT_GE(v.longValue, 0);
    EXPECT_LE(v.longValue, 100);
    EXPECT_EQ(PdhCloseQuery(query), ERROR_SUCCESS);
    EXPECT_EQ(PdhCollectQueryData(query), PDH_INVALID_HANDLE);
    EXPECT_EQ(PdhGetFormattedCounterValue(counter, PDH_FMT_LONG, nullptr, &v), PDH_INVALID_HANDLE);
}

}  // namespace
}  // namespace vantorel::pdh
