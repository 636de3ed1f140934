// The command line over the fixture hierarchy on disk, read as the machine
// reads it: group names with '/', systemd's \x2d escapes and ':' come out of
// `list` as paths that `sample` reads back.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "tests/cli/fake_pacer.h"

namespace vantorel::cli {
namespace {

const std::string kTree = std::string(VANTOREL_FIXTURES) + "/vm-cgroup";

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string>& args) {
    testing::FakePacer pacer;
    std::ostringstream out;
    std::ostringstream err;
    Outcome r;
    r.code = runCommandLine(args, Roots{kTree, kTree}, pacer, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(ControlGroupCommandLine, ListedPathsOfOddNamesSampleTheirOwnGroup) {
    const Outcome listed = run({"list", "--instances", "control group"});
    ASSERT_EQ(listed.code, kExitOk) << listed.err;
    const std::string qemu = "\\Control Group(/machine.slice/machine-qemu\\x2d1\\x2dvm:web.scope)\\Threads";
    const std::string fsck =
        "\\Control Group(/system.slice/systemd-fsck@dev-disk-by\\x2duuid-0b5e\\x2d11.service)\\Memory Bytes";
    EXPECT_NE(listed.out.find(qemu + "\n"), std::string::npos);
    EXPECT_NE(listed.out.find(fsck + "\n"), std::string::npos);
    // Symlinks in the tree are no groups.
    EXPECT_EQ(listed.out.find("loop"), std::string::npos);
    EXPECT_EQ(listed.out.find("elsewhere"), std::string::npos);

    const Outcome sampled = run({"sample", "--samples", "1", qemu, fsck});
    ASSERT_EQ(sampled.code, kExitOk) << sampled.err;
    EXPECT_EQ(sampled.err, "");
    // The qemu scope has 4 threads; the fsck service uses 1048576 bytes.
    EXPECT_NE(sampled.out.find(",4,1048576\n"), std::string::npos) << sampled.out;
}

}  // namespace
}  // namespace vantorel::cli
