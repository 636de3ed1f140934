#include "platform/pdh/sources/net_dev.h"
#include "platform/pdh/sources/net_speed.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

TEST(NetDev, ReadsTheCapturedMachine) {
    const NetDevTable table = parseNetDev(test::machineFile("proc/net/dev"));
    ASSERT_EQ(table.devices.size(), 4u);
    EXPECT_EQ(table.malformedLines, 0u);
    EXPECT_EQ(table.devices[0].name, "lo");
    const NetDevice& eth0 = table.devices[3];
    EXPECT_EQ(eth0.name, "eth0");
    EXPECT_EQ(eth0.rxBytes, 77920112u);
    EXPECT_EQ(eth0.rxPackets, 1749u);
    EXPECT_EQ(eth0.txBytes, 74882u);
    EXPECT_EQ(eth0.txPackets, 897u);
}

TEST(NetDev, SplitsAtTheFirstColonAndKeepsEachColumn) {
    // Old kernels glue the first number to the ':'; a name may hold odd
    // characters; each of the eight kept columns carries a distinct number.
    const NetDevTable table = parseNetDev(
        "Inter-|   Receive                            |  Transmit\n"
        " face |bytes    packets errs drop fifo frame compressed multicast|bytes ...\n"
        "  eth0:1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
        " wl-p.0@x: 10 20 30 40 50 60 70 80 90 100 110 120 130 140 150 160\n");
    ASSERT_EQ(table.devices.size(), 2u);
    const NetDevice& a = table.devices[0];
    EXPECT_EQ(a.name, "eth0");
    EXPECT_EQ(a.rxBytes, 1u);
    EXPECT_EQ(a.rxPackets, 2u);
    EXPECT_EQ(a.rxErrors, 3u);
    EXPECT_EQ(a.rxDropped, 4u);
    EXPECT_EQ(a.txBytes, 9u);
    EXPECT_EQ(a.txPackets, 10u);
    EXPECT_EQ(a.txErrors, 11u);
    EXPECT_EQ(a.txDropped, 12u);
    EXPECT_EQ(table.devices[1].name, "wl-p.0@x");
    EXPECT_EQ(table.devices[1].txDropped, 120u);
}

TEST(NetDev, DamagedLinesAreDroppedAndCounted) {
    const NetDevTable table = parseNetDev(
        "   : 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"     // no name
        "  a: 1 2 3 4 5 6 7 8 9 10 11\n"                    // too few columns
        "  b: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 -16\n"    // negative
        " face |bytes packets  lo: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"  // header run in
        "  x/y: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
        "  sixteen-bytes-xx: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n"
        "  fifteen-bytes-x: 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16\n");
    ASSERT_EQ(table.devices.size(), 1u);
    EXPECT_EQ(table.devices[0].name, "fifteen-bytes-x");
    EXPECT_EQ(table.malformedLines, 6u);
}

TEST(NetSpeed, UnknownOrGarbageIsNoValue) {
    EXPECT_FALSE(parseNetSpeed(test::machineFile("sys/class/net/eth0/speed")).has_value());  // -1
    EXPECT_EQ(parseNetSpeed("1000\n"), 1000u);
    EXPECT_EQ(parseNetSpeed("0\n"), 0u);
    EXPECT_EQ(parseNetSpeed("100000\n"), 100000u);
    for (const char* text : {"-1\n", "-10\n", "fast\n", "10 00\n", "1000", "\n", "4294967296\n"}) {
        EXPECT_FALSE(parseNetSpeed(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace vantorel::pdh::sources
