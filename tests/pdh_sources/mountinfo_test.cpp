#include "platform/pdh/sources/mountinfo.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

TEST(Mountinfo, ReadsTheCapturedMachine) {
    const MountTable table = parseMountinfo(test::machineFile("proc/self/mountinfo"));
    ASSERT_EQ(table.mounts.size(), 20u);
    EXPECT_EQ(table.malformedLines, 0u);
    // 28 1 254:0 / / rw,relatime - ext4 /dev/vda rw,discard,...
    const MountEntry& root = table.mounts[5];
    EXPECT_EQ(root.mountId, 28u);
    EXPECT_EQ(root.parentId, 1u);
    EXPECT_EQ(root.major, 254u);
    EXPECT_EQ(root.minor, 0u);
    EXPECT_EQ(root.root, "/");
    EXPECT_EQ(root.mountPoint, "/");
    EXPECT_EQ(root.mountOptions, "rw,relatime");
    EXPECT_EQ(root.fsType, "ext4");
    EXPECT_EQ(root.source, "/dev/vda");
}

TEST(Mountinfo, SkipsOptionalFieldsUpToTheSeparator) {
    const MountTable table = parseMountinfo(
        "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 shared:7 propagate_from:2 - ext3 /dev/root rw\n"
        "40 36 0:44 / /run/user rw - tmpfs tmpfs rw,size=10k\n"
        "41 36 0:45 / /srv rw - nfs4 server:/export rw\n");
    ASSERT_EQ(table.mounts.size(), 3u);
    EXPECT_EQ(table.mounts[0].root, "/mnt1");
    EXPECT_EQ(table.mounts[0].fsType, "ext3");
    EXPECT_EQ(table.mounts[0].source, "/dev/root");
    EXPECT_EQ(table.mounts[1].fsType, "tmpfs");
    EXPECT_EQ(table.mounts[2].source, "server:/export");
}

TEST(Mountinfo, UnescapesPathsAndKeepsAnEmptySource) {
    const MountTable table = parseMountinfo(
        "50 28 8:17 / /media/my\\040disk rw - vfat /dev/sdb1 rw\n"
        "51 28 8:18 /a\\134b /mnt/tab\\011and\\012line rw - ext4 /dev/sdb\\0402 rw\n"
        "52 28 0:50 / /mnt/none rw - tmpfs  rw\n");
    ASSERT_EQ(table.mounts.size(), 3u);
    EXPECT_EQ(table.mounts[0].mountPoint, "/media/my disk");
    EXPECT_EQ(table.mounts[1].root, "/a\\b");
    EXPECT_EQ(table.mounts[1].mountPoint, "/mnt/tab\tand\nline");
    EXPECT_EQ(table.mounts[1].source, "/dev/sdb 2");
    EXPECT_EQ(table.mounts[2].source, "");
    EXPECT_EQ(table.mounts[2].mountPoint, "/mnt/none");
}

TEST(Mountinfo, UnescapeLeavesWhatIsNotAByteEscape) {
    struct Case {
        const char* in;
        std::string out;
    };
    const Case cases[] = {
        {"/a\\040b", "/a b"},
        {"/a\\04", "/a\\04"},          // cut escape
        {"/a\\", "/a\\"},
        {"/a\\089", "/a\\089"},        // 8 is not octal
        {"/a\\400", "/a\\400"},        // beyond a byte
        {"/a\\000b", "/a\\000b"},      // a NUL would shorten the path for statvfs
        {"\\134\\134", "\\\\"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(unescapeOctal(c.in), c.out) << c.in;
    }
}

TEST(Mountinfo, DamagedLinesAreDroppedAndCounted) {
    const MountTable table = parseMountinfo(
        "60 28 8:1 / /ok rw - ext4 /dev/sda1 rw\n"
        "61 28 8:1 / /nosep rw ext4 /dev/sda1 rw\n"   // no " - "
        "62 28 81 / /baddev rw - ext4 /dev/sda1 rw\n"  // no ':'
        "x 28 8:1 / /badid rw - ext4 /dev/sda1 rw\n"
        "63 28 8:1 / /notype rw -\n"
        "64 28 8:1 / /nosource rw - ext4\n");
    ASSERT_EQ(table.mounts.size(), 1u);
    EXPECT_EQ(table.mounts[0].mountPoint, "/ok");
    EXPECT_EQ(table.malformedLines, 5u);
}

}  // namespace
}  // namespace vantorel::pdh::sources
