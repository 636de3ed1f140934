// NUMA Node Memory over a two-node server (server-5.4), the build machine's one
// node (vm618-t0) and a machine without the node directory (vm-4.19).
#include <gtest/gtest.h>

#include "platform/pdh/sources/node_meminfo.h"
#include "tests/pdh_counters/fixture_tree.h"

namespace vantorel::pdh {
namespace {

using testing::TreeQuery;

constexpr double kKiBToMiB = 1.0 / 1024;

TEST(NodeMeminfoParser, KeysAfterTheNodePrefixInBytes) {
    const auto node = sources::parseNodeMeminfo(
        "Node 1 MemTotal:       32768000 kB\nNode 1 MemFree:  20000000 kB\nNode 1 HugePages_Total:     0\n"
        "Node 1 FilePages: 12 kB\nMemTotal: 5 kB\nNode x AnonPages: 7 kB\n");
    ASSERT_TRUE(node.has_value());
    EXPECT_EQ(node->memTotal, 32768000ull * 1024);
    EXPECT_EQ(node->memFree, 20000000ull * 1024);
    EXPECT_EQ(node->filePages, 12ull * 1024);
    EXPECT_FALSE(node->anonPages.has_value());  // "Node x" is no node
    EXPECT_FALSE(sources::parseNodeMeminfo("MemTotal: 5 kB\n").has_value());
}

TEST(NumaObject, EachNodeAndTheirTotalAsNumastatShowsThem) {
    TreeQuery q("server-5.4", 1000);
    EXPECT_EQ(q.instances("NUMA Node Memory"), (std::vector<std::string>{"_Total", "0", "1"}));
    const char* names[] = {"Total MBytes", "Free MBytes", "Used MBytes", "File Pages MBytes", "Anonymous MBytes",
                           "% Used"};
    std::vector<std::vector<PDH_HCOUNTER>> counters;
    for (const char* instance : {"0", "1", "_Total"}) {
        counters.emplace_back();
        for (const char* name : names) counters.back().push_back(q.add("NUMA Node Memory", instance, name));
    }
    PDH_HCOUNTER missing = q.add("NUMA Node Memory", "2", "Free MBytes");
    q.collect();
    // node0: MemTotal 32768000, MemFree 10000000, FilePages 12000000, AnonPages 8000000 kB
    // node1: MemTotal 32768000, MemFree 20000000, FilePages  6000000, AnonPages 4000000 kB
    const double expected[3][6] = {
        {32768000, 10000000, 22768000, 12000000, 8000000, 0},
        {32768000, 20000000, 12768000, 6000000, 4000000, 0},
        {65536000, 30000000, 35536000, 18000000, 12000000, 0},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t n = 0; n < 5; ++n) EXPECT_NEAR(q.value(counters[i][n]), expected[i][n] * kKiBToMiB, 1e-9) << names[n];
        EXPECT_NEAR(q.value(counters[i][5]), 100.0 * expected[i][2] / expected[i][0], 1e-9);
    }
    EXPECT_EQ(q.status(missing), PDH_CSTATUS_NO_INSTANCE);
}

TEST(NumaObject, TheBuildMachinesOneNodeAndAMachineWithoutNodes) {
    TreeQuery q("vm618-t0", 1000);
    PDH_HCOUNTER used = q.add("NUMA Node Memory", "0", "Used MBytes");
    PDH_HCOUNTER total = q.add("NUMA Node Memory", "_Total", "Used MBytes");
    q.collect();
    EXPECT_NEAR(q.value(used), (24683612.0 - 21188280) * kKiBToMiB, 1e-9);  // 3413.41
    EXPECT_NEAR(q.value(total), (24683612.0 - 21188280) * kKiBToMiB, 1e-9);

    TreeQuery none("vm-4.19", 1000);
    EXPECT_TRUE(none.instances("NUMA Node Memory").empty());
    PDH_HCOUNTER any = none.add("NUMA Node Memory", "_Total", "% Used");
    none.collect();
    EXPECT_EQ(none.status(any), PDH_CSTATUS_INVALID_DATA);
}

}  // namespace
}  // namespace vantorel::pdh
