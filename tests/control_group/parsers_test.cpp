// The parsers of a group's files: each file as the kernel writes it, and the
// ways it can come out wrong.
#include <gtest/gtest.h>

#include "platform/pdh/sources/cgroup_cpu_stat.h"
#include "platform/pdh/sources/cgroup_hierarchy.h"
#include "platform/pdh/sources/cgroup_io_stat.h"
#include "platform/pdh/sources/cgroup_memory_stat.h"
#include "platform/pdh/sources/cgroup_values.h"

namespace vantorel::pdh::sources {
namespace {

TEST(CgroupCpuStat, ReadsTheTimesWithAndWithoutTheCpuController) {
    const auto core = parseCgroupCpuStat("usage_usec 2274862015\nuser_usec 1959767957\nsystem_usec 315094057\n"
                                         "nice_usec 66349733\ncore_sched.force_idle_usec 0\n");
    ASSERT_TRUE(core);
    EXPECT_EQ(core->usageUsec, 2274862015u);
    EXPECT_EQ(core->userUsec, 1959767957u);
    EXPECT_EQ(core->systemUsec, 315094057u);
    EXPECT_FALSE(core->throttledUsec);  // no cpu controller: no such key
    const auto limited = parseCgroupCpuStat("usage_usec 5\nuser_usec 3\nsystem_usec 2\nnr_periods 6000\n"
                                            "nr_throttled 300\nthrottled_usec 9000000\n");
    ASSERT_TRUE(limited);
    EXPECT_EQ(limited->throttledUsec, 9000000u);
    EXPECT_FALSE(parseCgroupCpuStat("nice_usec 0\n"));
    EXPECT_FALSE(parseCgroupCpuStat("usage_usec 5"));  // cut short
    const auto broken = parseCgroupCpuStat("usage_usec x\nuser_usec 3\nsystem_usec 2 1\n");
    ASSERT_TRUE(broken);
    EXPECT_FALSE(broken->usageUsec);
    EXPECT_FALSE(broken->systemUsec);
    EXPECT_EQ(broken->malformedLines, 2u);
}

TEST(CgroupMemoryStat, PicksAnonAndFileAndOomKill) {
    const auto stat = parseCgroupMemoryStat("anon 402653184\nfile 335544320\nkernel 50331648\nfile_mapped 67108864\n"
                                            "anon_thp 0\n");
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->anonBytes, 402653184u);  // not anon_thp, which comes later
    EXPECT_EQ(stat->fileBytes, 335544320u);
    EXPECT_FALSE(parseCgroupMemoryStat("kernel 5\n"));
    const auto events = parseCgroupMemoryEvents("low 0\nhigh 0\nmax 12\noom 2\noom_kill 2\noom_group_kill 0\n");
    ASSERT_TRUE(events);
    EXPECT_EQ(events->oomKill, 2u);
}

TEST(CgroupIoStat, SumsTheDevicesAndSkipsBrokenLines) {
    const auto io = parseCgroupIoStat(
        "8:0 rbytes=1048576000 wbytes=2097152000 rios=20000 wios=40000 dbytes=0 dios=0\n"
        "259:0 rbytes=524288000 wbytes=0 rios=5000 wios=0 dbytes=0 dios=0 cost.vrate=100.00 depth=max\n");
    EXPECT_EQ(io, (CgroupIoStat{1572864000, 2097152000, 25000, 40000, 2, 0}));
    EXPECT_EQ(parseCgroupIoStat(""), CgroupIoStat{});  // no I/O yet: an empty file
    const char* broken[] = {
        "8:0 rbytes=1 wbytes=2 rios=3\n",                           // a key missing
        "8:0 rbytes=1 wbytes=2 rios=3 wios=x\n",                    // not a number
        "8:0 rbytes=1 rbytes=1 wbytes=2 rios=3 wios=4\n",           // twice
        "sda rbytes=1 wbytes=2 rios=3 wios=4\n",                    // no device number
        "8:0 rbytes=18446744073709551615 wbytes=0 rios=0 wios=0\n"  // the sum would overflow
        "8:1 rbytes=1 wbytes=0 rios=0 wios=0\n",
    };
    for (const char* text : broken) {
        const CgroupIoStat parsed = parseCgroupIoStat(text);
        EXPECT_EQ(parsed.malformedLines, 1u) << text;
        EXPECT_LE(parsed.devices, 1u) << text;
    }
    EXPECT_EQ(parseCgroupIoStat("8:0 rbytes=1 wbytes=2 rios=3 wios=4").devices, 0u);  // cut short
}

TEST(CgroupValues, NumbersLimitsAndIdLists) {
    EXPECT_EQ(parseCgroupNumber("805306368\n"), 805306368u);
    EXPECT_FALSE(parseCgroupNumber("805306368"));  // cut short
    EXPECT_FALSE(parseCgroupNumber("max\n"));
    EXPECT_FALSE(parseCgroupNumber("1\n2\n"));
    EXPECT_EQ(parseCgroupLimit("max\n"), (CgroupLimit{true, 0}));
    EXPECT_EQ(parseCgroupLimit("536870912\n"), (CgroupLimit{false, 536870912}));
    EXPECT_FALSE(parseCgroupLimit("-1\n"));
    EXPECT_EQ(countCgroupIds(""), 0u);
    EXPECT_EQ(countCgroupIds("4242\n4250\n4251\n"), 3u);
    EXPECT_FALSE(countCgroupIds("4242\n4250"));  // cut short: the count would be too small
    EXPECT_FALSE(countCgroupIds("4242\nx\n"));
}

TEST(CgroupHierarchy, FindsTheCgroup2MountOnHybridAndUnifiedMachines) {
    const MountTable hybrid = parseMountinfo(
        "32 23 0:29 / /sys/fs/cgroup rw,relatime - tmpfs tmpfs rw,mode=755\n"
        "33 32 0:30 / /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu\n"
        "42 32 0:39 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n");
    EXPECT_EQ(findCgroup2Mount(hybrid)->mountPoint, "/sys/fs/cgroup/unified");
    // A container's view of a part of the hierarchy comes after the whole one.
    const MountTable nested = parseMountinfo(
        "50 23 0:27 /docker/abc /mnt/part rw - cgroup2 cgroup2 rw\n"
        "51 23 0:27 / /sys/fs/cgroup rw,nosuid - cgroup2 cgroup2 rw,nsdelegate\n");
    EXPECT_EQ(findCgroup2Mount(nested)->mountPoint, "/sys/fs/cgroup");
    EXPECT_TRUE(findCgroup2Mount(nested)->wholeHierarchy);
    const auto part = findCgroup2Mount(parseMountinfo("50 23 0:27 /docker/abc /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"));
    ASSERT_TRUE(part);
    EXPECT_FALSE(part->wholeHierarchy);
    EXPECT_FALSE(findCgroup2Mount(parseMountinfo("33 32 0:30 / /sys/fs/cgroup/cpu rw - cgroup cgroup rw,cpu\n")));
}

TEST(CgroupHierarchy, GroupPathsCannotLeaveTheHierarchy) {
    for (const char* good : {"/", "/system.slice", "/a/b", "/sys\\x2dfs:x (1)", "/...", "/a/.b"})
        EXPECT_TRUE(isGroupPath(good)) << good;
    for (const char* bad : {"", "a", "//", "/a/", "/a//b", "/.", "/..", "/a/../b", "/a/./b"})
        EXPECT_FALSE(isGroupPath(bad)) << bad;
    EXPECT_FALSE(isGroupPath(std::string_view("/a\0b", 4)));
}

}  // namespace
}  // namespace vantorel::pdh::sources
