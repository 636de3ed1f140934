// Arguments, help and `list`, through runCommandLine over a captured tree.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "captured_output.h"
#include "fake_pacer.h"

namespace vantorel::cli {
namespace {

using Outcome = testing::Captured;
using testing::lines;

Outcome run(const std::vector<std::string>& args) {
    const std::string tree = std::string(VANTOREL_FIXTURES) + "/vm-t0";
    testing::FakePacer pacer;
    std::ostringstream out;
    std::ostringstream err;
    Outcome r;
    r.code = runCommandLine(args, Roots{tree, tree}, pacer, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

const std::string kCpu = "\\Processor(_Total)\\% Processor Time";

TEST(Arguments, ErrorsAreUsageFailuresOnStderr) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"--frobnicate"},
        {"sample"},
        {"sample", "--interval", "0", kCpu},
        {"sample", "--interval", "-1", kCpu},
        {"sample", "--interval", "nan", kCpu},
        {"sample", "--interval", "inf", kCpu},
        {"sample", "--interval", "soon", kCpu},
        {"sample", "--samples", "0", kCpu},
        {"sample", "--samples", "-1", kCpu},
        {"sample", "--samples", "2.5", kCpu},
        {"sample", "--format", "xml", kCpu},
        {"sample", "--interval", kCpu},
        {"list", "--instance"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const auto& a : args) shown += a + " ";
        const Outcome r = run(args);
        EXPECT_EQ(r.code, kExitUsage) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_NE(r.err.find("--help"), std::string::npos) << shown << r.err;
    }
}

TEST(Arguments, HelpAndVersionGoToStdoutAndSucceed) {
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> mentions;
    } cases[] = {
        {{"--help"}, {"list", "sample", "Exit status", "--proc-root", "--sys-root"}},
        {{"-h"}, {"list", "sample"}},
        {{"sample", "--help"}, {"--interval", "--samples", "--format", "since boot", "Ctrl+C", "RFC 4180"}},
        {{"list", "--help"}, {"--instances", "--describe", "OBJECT"}},
        {{"--version"}, {std::string("vantorel-cli ") + VANTOREL_VERSION + "\n"}},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.code, kExitOk) << c.args.front();
        EXPECT_EQ(r.err, "") << c.args.front();
        for (const auto& m : c.mentions) EXPECT_NE(r.out.find(m), std::string::npos) << c.args.front() << ": " << m;
    }
}

TEST(List, WithoutInstancesOneLinePerCounterWithAPlaceholder) {
    const Outcome r = run({"list"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto all = lines(r.out);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), "\\Processor(<instance>)\\% Processor Time");
    EXPECT_NE(std::find(all.begin(), all.end(), "\\Memory\\Available MBytes"), all.end());
    EXPECT_NE(std::find(all.begin(), all.end(), "\\LogicalDisk(<instance>)\\% Free Space"), all.end());
    for (const auto& line : all) EXPECT_EQ(line.rfind('\\', 0), 0U) << line;
}

TEST(List, ObjectsMatchWithoutCaseAndInstancesComeFromTheTree) {
    const Outcome r = run({"list", "processor", "--instances"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto all = lines(r.out);
    // The fixture has cpu0 and cpu1: _Total first, then each, every counter of each.
    ASSERT_EQ(all.size() % 3, 0U);
    const std::size_t perInstance = all.size() / 3;
    EXPECT_EQ(all[0], kCpu);
    EXPECT_EQ(all[perInstance], "\\Processor(0)\\% Processor Time");
    EXPECT_EQ(all[2 * perInstance], "\\Processor(1)\\% Processor Time");
    for (const auto& line : all) EXPECT_EQ(line.rfind("\\Processor(", 0), 0U) << line;
}

TEST(List, ANameWithANewlineStaysOnOneLineAndDescriptionsFollowTheirPath) {
    const Outcome r = run({"list", "Process", "--instances", "--describe"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto all = lines(r.out);
    ASSERT_EQ(all.size() % 2, 0U);
    for (std::size_t i = 0; i < all.size(); i += 2) {
        EXPECT_EQ(all[i].rfind("\\Process(", 0), 0U) << all[i];
        EXPECT_EQ(all[i + 1].rfind("    ", 0), 0U) << all[i + 1];
        EXPECT_GT(all[i + 1].size(), 8U) << all[i];
    }
    EXPECT_NE(std::find(all.begin(), all.end(), "\\Process(w (x) y:\\?z):5915)\\ID Process"), all.end()) << r.out;
    EXPECT_NE(std::find(all.begin(), all.end(), "\\Process(bash:4278)\\Working Set"), all.end());
}

TEST(List, DescriptionsEndWithTheUnit) {
    const Outcome r = run({"list", "Memory", "--describe"});
    ASSERT_EQ(r.code, kExitOk) << r.err;
    const auto all = lines(r.out);
    const auto bytes = std::find(all.begin(), all.end(), "\\Memory\\Available Bytes");
    ASSERT_NE(bytes, all.end());
    ASSERT_NE(bytes + 1, all.end());
    EXPECT_TRUE(bytes[1].ends_with(". (bytes)")) << bytes[1];
    const auto faults = std::find(all.begin(), all.end(), "\\Memory\\Page Faults/sec");
    ASSERT_NE(faults, all.end());
    EXPECT_TRUE(faults[1].ends_with("(per second)")) << faults[1];
}

// The roots given on the command line win over the live ones the tool starts with.
Outcome runOnLiveRoots(const std::vector<std::string>& args) {
    testing::FakePacer pacer;
    std::ostringstream out;
    std::ostringstream err;
    Outcome r;
    r.code = runCommandLine(args, Roots{}, pacer, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(CapturedTree, RootOptionsReadTheTreeWithItsClockAndNoFileSystemSpace) {
    const std::string tree = std::string(VANTOREL_FIXTURES) + "/vm-t0";
    const Outcome listed = runOnLiveRoots({"--proc-root", tree, "--sys-root", tree, "list", "Process", "--instances"});
    ASSERT_EQ(listed.code, kExitOk) << listed.err;
    const auto paths = lines(listed.out);
    EXPECT_NE(std::find(paths.begin(), paths.end(), "\\Process(bash:4278)\\Working Set"), paths.end());

    const Outcome sampled = runOnLiveRoots({"--proc-root", tree, "--sys-root", tree, "sample", "--samples", "1",
                                            "\\Memory\\Available KBytes", "\\System\\Context Switches/sec",
                                            "\\LogicalDisk(/)\\% Free Space"});
    ASSERT_EQ(sampled.code, kExitOk) << sampled.err;
    const auto rows = lines(sampled.out);
    ASSERT_EQ(rows.size(), 2U) << sampled.out;
    // MemAvailable 24356368 kB; ctxt 375463 over the tree's uptime of 466.67 s
    // (375463 / 466.67 = 804.5578...); statvfs of this machine is no answer for "/".
    EXPECT_TRUE(rows[1].ends_with(",24356368,804.558,")) << rows[1];
    EXPECT_NE(sampled.err.find("LogicalDisk(/)"), std::string::npos) << sampled.err;
    EXPECT_NE(sampled.err.find("PDH_CSTATUS_INVALID_DATA"), std::string::npos) << sampled.err;
}

TEST(List, AnUnknownObjectIsAUsageErrorNamingIt) {
    const Outcome r = run({"list", "Memory", "Nope"});
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("\"Nope\""), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Processor"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace vantorel::cli
