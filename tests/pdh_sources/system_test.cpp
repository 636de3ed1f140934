#include "platform/pdh/sources/loadavg.h"
#include "platform/pdh/sources/uptime.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

TEST(Loadavg, ReadsTheCapturedMachine) {
    const auto load = parseLoadavg(test::machineFile("proc/loadavg"));  // 0.00 0.04 0.02 2/123 5940
    ASSERT_TRUE(load.has_value());
    EXPECT_DOUBLE_EQ(load->load5, 0.04);
    EXPECT_EQ(load->running, 2u);
    EXPECT_EQ(load->total, 123u);
    EXPECT_EQ(load->lastPid, 5940u);
}

TEST(Loadavg, AnyBadFieldRefusesTheLine) {
    for (const char* text : {"0.1 0.2 0.3 2/\n", "0.1 0.2 0.3 /5 9\n", "0.1 0.2 0.3 2-5 9\n",
                             "0.1 0.2 nan 2/5 9\n", "0.1 0.2 0.3 2/5\n", "0,1 0.2 0.3 2/5 9\n"}) {
        EXPECT_FALSE(parseLoadavg(text).has_value()) << text;
    }
}

TEST(Uptime, ReadsSecondsAsADouble) {
    const auto up = parseUptime(test::machineFile("proc/uptime"));  // 466.67 873.83
    ASSERT_TRUE(up.has_value());
    EXPECT_DOUBLE_EQ(up->upSeconds, 466.67);
    EXPECT_EQ(up->idleSeconds, 873.83);
}

TEST(Uptime, OnlyTheFirstNumberIsNeeded) {
    const auto one = parseUptime("12.5\n");
    ASSERT_TRUE(one.has_value());
    EXPECT_DOUBLE_EQ(one->upSeconds, 12.5);
    EXPECT_FALSE(one->idleSeconds.has_value());
    for (const char* text : {"-1.0 2.0\n", "inf 2\n", "1e3 2\n", "x 2\n", "\n"}) {
        EXPECT_FALSE(parseUptime(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace vantorel::pdh::sources
