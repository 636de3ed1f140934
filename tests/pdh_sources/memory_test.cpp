#include "platform/pdh/sources/meminfo.h"
#include "platform/pdh/sources/vmstat.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

constexpr std::uint64_t kKiB = 1024;

TEST(Meminfo, ReadsTheCapturedMachineInBytes) {
    const auto mem = parseMeminfo(test::machineFile("proc/meminfo"));
    ASSERT_TRUE(mem.has_value());
    EXPECT_EQ(mem->memTotal, 24683612 * kKiB);
    EXPECT_EQ(mem->memFree, 24378340 * kKiB);
    EXPECT_EQ(mem->memAvailable, 24356368 * kKiB);
    EXPECT_EQ(mem->buffers, 3132 * kKiB);
    EXPECT_EQ(mem->cached, 79464 * kKiB);  // not SwapCached, which comes later
    EXPECT_EQ(mem->sReclaimable, 132844 * kKiB);
    EXPECT_EQ(mem->committedAs, 77540 * kKiB);
    EXPECT_EQ(mem->commitLimit, 12341804 * kKiB);
    EXPECT_EQ(mem->swapTotal, 0u);  // no swap is 0, a real value
    EXPECT_EQ(mem->swapFree, 0u);
}

TEST(Meminfo, MissingOrMalformedFieldsAreNoValue) {
    // A 3.13 kernel has no MemAvailable; the other lines are damaged.
    const auto mem = parseMeminfo(
        "MemTotal:        2048 kB\n"
        "MemFree:          abc kB\n"
        "Buffers:           12\n"        // no unit
        "Cached:            12 MB\n"     // not kB
        "SwapTotal:         -4 kB\n"
        "SwapFree:  18014398509481984 kB\n"  // 2^54 kB does not fit in bytes
        "Committed_AS:      10 kB extra\n");
    ASSERT_TRUE(mem.has_value());
    EXPECT_EQ(mem->memTotal, 2048 * kKiB);
    EXPECT_FALSE(mem->memAvailable.has_value());
    EXPECT_FALSE(mem->memFree.has_value());
    EXPECT_FALSE(mem->buffers.has_value());
    EXPECT_FALSE(mem->cached.has_value());
    EXPECT_FALSE(mem->swapTotal.has_value());
    EXPECT_FALSE(mem->swapFree.has_value());
    EXPECT_FALSE(mem->committedAs.has_value());
}

TEST(Meminfo, KeysMatchWhole) {
    // "SwapCached" and "Cached" share a suffix; "MemTotalX" is not MemTotal.
    const auto mem = parseMeminfo("SwapCached: 7 kB\nMemTotalX: 9 kB\nCached: 5 kB\n");
    ASSERT_TRUE(mem.has_value());
    EXPECT_EQ(mem->cached, 5 * kKiB);
    EXPECT_FALSE(mem->memTotal.has_value());
    EXPECT_EQ(mem->swapCached, 7 * kKiB);
    const auto swapCachedOnly = parseMeminfo("SwapCached: 7 kB\n");
    ASSERT_TRUE(swapCachedOnly.has_value());
    EXPECT_FALSE(swapCachedOnly->cached.has_value());
}

TEST(Vmstat, ReadsTheCapturedMachine) {
    const auto vm = parseVmstat(test::machineFile("proc/vmstat"));
    ASSERT_TRUE(vm.has_value());
    EXPECT_EQ(vm->pgfault, 1838566u);
    EXPECT_EQ(vm->pswpin, 0u);
    EXPECT_EQ(vm->pswpout, 0u);
    EXPECT_EQ(vm->pgpgin, 1327421u);
    EXPECT_EQ(vm->pgpgout, 639436u);
}

TEST(Vmstat, AbsentCountersAreNoValue) {
    // A kernel without swap support prints no pswp lines.
    const auto vm = parseVmstat("pgfault 77\npgmajfault 3\n");
    ASSERT_TRUE(vm.has_value());
    EXPECT_EQ(vm->pgfault, 77u);
    EXPECT_FALSE(vm->pswpin.has_value());
    EXPECT_FALSE(vm->pswpout.has_value());
    EXPECT_FALSE(parseVmstat("nr_free_pages 5\n").has_value());
}

}  // namespace
}  // namespace vantorel::pdh::sources
