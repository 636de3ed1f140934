#include "platform/pdh/sources/proc_stat.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

TEST(ProcStat, ReadsTheCapturedMachine) {
    const auto stat = parseProcStat(test::machineFile("proc/stat"));
    ASSERT_TRUE(stat.has_value());
    // cpu  2248 0 2174 87381 1066 0 45 15 0 0
    EXPECT_EQ(stat->total.user, 2248u);
    EXPECT_EQ(stat->total.system, 2174u);
    EXPECT_EQ(stat->total.idle, 87381u);
    EXPECT_EQ(stat->total.iowait, 1066u);
    EXPECT_EQ(stat->total.steal, 15u);
    EXPECT_EQ(stat->total.fields, 10u);
    EXPECT_EQ(totalTicks(stat->total), 2248u + 2174 + 87381 + 1066 + 45 + 15);
    ASSERT_EQ(stat->cpus.size(), 2u);
    EXPECT_EQ(stat->cpus[1].id, 1u);
    EXPECT_EQ(stat->cpus[1].times.idle, 42388u);  // cpu1 1437 0 1516 42388 ...
    EXPECT_EQ(stat->ctxt, 375463u);
    EXPECT_EQ(stat->interrupts, 179443u);
    EXPECT_EQ(stat->processes, 5932u);
    EXPECT_EQ(stat->procsRunning, 1u);
    EXPECT_EQ(stat->procsBlocked, 0u);
    EXPECT_EQ(stat->btime, 1796989754u);
    EXPECT_EQ(stat->malformedLines, 0u);
}

TEST(ProcStat, GuestTicksStayOutOfTheTotal) {
    // A host running a guest: guest 300 and guest_nice 40 are already inside
    // user 1000 and nice 50.
    const auto stat = parseProcStat("cpu  1000 50 200 5000 10 1 2 3 300 40\n");
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->total.guest, 300u);
    EXPECT_EQ(stat->total.guestNice, 40u);
    EXPECT_EQ(totalTicks(stat->total), 1000u + 50 + 200 + 5000 + 10 + 1 + 2 + 3);
}

TEST(ProcStat, OlderKernelsPrintFewerTickFields) {
    struct Case {
        const char* line;
        unsigned fields;
        bool steal;
        bool guest;
    };
    const Case cases[] = {
        {"cpu  1 2 3 4\n", 4, false, false},               // 2.4
        {"cpu  1 2 3 4 5 6 7\n", 7, false, false},         // 2.6.0
        {"cpu  1 2 3 4 5 6 7 8\n", 8, true, false},        // 2.6.11
        {"cpu  1 2 3 4 5 6 7 8 9\n", 9, true, true},       // 2.6.24
        {"cpu  1 2 3 4 5 6 7 8 9 10 11\n", 10, true, true} // a later kernel's extra field
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const auto stat = parseProcStat(c.line);
        ASSERT_TRUE(stat.has_value());
        EXPECT_EQ(stat->total.fields, c.fields);
        EXPECT_EQ(stat->total.hasSteal(), c.steal);
        EXPECT_EQ(stat->total.hasGuest(), c.guest);
        if (!c.steal) {
            EXPECT_EQ(stat->total.steal, 0u);
        }
    }
    // The counters an old kernel lacks are no value, not 0.
    const auto old = parseProcStat("cpu  1 2 3 4\nctxt 9\n");
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->ctxt, 9u);
    EXPECT_FALSE(old->procsBlocked.has_value());
    EXPECT_FALSE(old->processes.has_value());
}

TEST(ProcStat, CpuIdsNeedNotBeContiguous) {
    const auto stat = parseProcStat(
        "cpu  8 0 8 80\n"
        "cpu0 4 0 4 40\n"
        "cpu3 4 0 4 40\n"
        "cpu12 0 0 0 0\n");
    ASSERT_TRUE(stat.has_value());
    ASSERT_EQ(stat->cpus.size(), 3u);
    EXPECT_EQ(stat->cpus[0].id, 0u);
    EXPECT_EQ(stat->cpus[1].id, 3u);
    EXPECT_EQ(stat->cpus[2].id, 12u);
}

TEST(ProcStat, ABadCpuLineIsDroppedWhole) {
    const auto stat = parseProcStat(
        "cpu  8 0 8 80\n"
        "cpu0 4 0 x 40\n"   // garbage inside
        "cpu1 4 0 4\n"      // too few fields
        "cpuX 4 0 4 40\n"   // no id
        "cpu2 4 0 4 40\n");
    ASSERT_TRUE(stat.has_value());
    ASSERT_EQ(stat->cpus.size(), 1u);
    EXPECT_EQ(stat->cpus[0].id, 2u);
    EXPECT_EQ(stat->malformedLines, 3u);
}

TEST(ProcStat, NoTotalLineIsNotProcStat) {
    EXPECT_FALSE(parseProcStat("cpu0 1 2 3 4\nctxt 5\n").has_value());
    EXPECT_FALSE(parseProcStat("cpu  1 2 -3 4\n").has_value());
}

}  // namespace
}  // namespace vantorel::pdh::sources
