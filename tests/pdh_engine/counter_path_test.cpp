#include <gtest/gtest.h>

#include "platform/pdh/engine/counter_path.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {
namespace {

struct PathCase {
    const char* path;
    PDH_STATUS status;
    const char* object;
    const char* instance;
    bool hasInstance;
    const char* counter;
};

TEST(CounterPath, ParsesGoodPathsAndRefusesBadOnes) {
    const PathCase cases[] = {
        {"\\Processor(_Total)\\% Processor Time", ERROR_SUCCESS, "Processor", "_Total", true, "% Processor Time"},
        {"\\Memory\\Available Bytes", ERROR_SUCCESS, "Memory", "", false, "Available Bytes"},
        {"\\Process(a) b\\c:(d:42)\\ID Process", ERROR_SUCCESS, "Process", "a) b\\c:(d:42", true, "ID Process"},
        {"\\Process(x#1)\\Thread Count", ERROR_SUCCESS, "Process", "x#1", true, "Thread Count"},
        {"\\Process(*)\\Thread Count", ERROR_SUCCESS, "Process", "*", true, "Thread Count"},
        {"\\LogicalDisk(/)\\% Free Space", ERROR_SUCCESS, "LogicalDisk", "/", true, "% Free Space"},
        {"\\Paging File(_Total)\\% Usage", ERROR_SUCCESS, "Paging File", "_Total", true, "% Usage"},
        {"", PDH_CSTATUS_NO_COUNTERNAME, "", "", false, ""},
        {"\\\\machine\\Memory\\Available Bytes", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"Memory\\Available Bytes", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\Memory", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\Memory\\", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\\\Counter", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\Processor(0\\% Processor Time", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\Processor()\\% Processor Time", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\(0)\\% Processor Time", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\Proc)essor\\X", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
        {"\\Processor(0)x\\% Processor Time", PDH_CSTATUS_BAD_COUNTERNAME, "", "", false, ""},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.path);
        ParsedPath out;
        out.object = "stale";
        EXPECT_EQ(parseCounterPath(c.path, out), c.status);
        EXPECT_EQ(out.object, c.object);
        EXPECT_EQ(out.instance, c.instance);
        EXPECT_EQ(out.hasInstance, c.hasInstance);
        EXPECT_EQ(out.counter, c.counter);
    }
}

TEST(CounterPath, HostileInstancesRoundTrip) {
    const std::string instances[] = {
        "a) b\\c:(d:77", "((((", "))))", "\\", "\\\\", ")\\", "(x)\\y", "name with spaces:1",
        "tab\there:2", "new\nline:3", "#0", "*", "_Total", ":", std::string("\xff\xfe", 2),
    };
    for (const std::string& instance : instances) {
        SCOPED_TRACE(instance);
        const std::string path = makeCounterPath("Process", instance, "% Processor Time", true);
        ParsedPath out;
        ASSERT_EQ(parseCounterPath(path, out), ERROR_SUCCESS);
        EXPECT_EQ(out.object, "Process");
        EXPECT_EQ(out.instance, instance);
        EXPECT_EQ(out.counter, "% Processor Time");
    }
}

}  // namespace
}  // namespace vantorel::pdh
