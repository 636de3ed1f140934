// Counter patterns: the glob and its escapes, and `list` and `sample` expanding
// them over a captured tree.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "captured_output.h"
#include "cli/command_line.h"
#include "cli/counter_pattern.h"
#include "cli/exit_codes.h"
#include "fake_pacer.h"

namespace vantorel::cli {
namespace {

using testing::lines;

TEST(Glob, WildcardsAndEscapes) {
    const struct {
        const char* glob;
        const char* text;
        bool ignoreCase;
        bool matches;
    } cases[] = {
        {"*", "", false, true},
        {"*", "_Total", false, true},
        {"firefox:*", "firefox:123", false, true},
        {"firefox:*", "Firefox:123", false, false},  // instances keep their case
        {"% *time", "% User Time", true, true},      // counters do not
        {"*:1*", "a:b:19", false, true},             // backtracks past the first ':'
        {"a*b*c", "a_b_b_d", false, false},
        {"x[*]", "x*", false, true},                 // an escaped star is only a star
        {"x[*]", "xy", false, false},
        {"[[]*]", "[*]", false, true},               // "[[]" is a '['
        {"[a]", "[a]", false, true},                 // any other bracket is itself
        {"(a)\\b", "(a)\\b", false, true},
        {"a", "ab", false, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(globMatches(c.glob, c.text, c.ignoreCase), c.matches) << c.glob << " ~ " << c.text;
    EXPECT_TRUE(hasWildcard("a*"));
    EXPECT_FALSE(hasWildcard("a[*]"));
    EXPECT_EQ(unescapeGlob("a[*]b[[]c[d]"), "a*b[c[d]");
    // A long hostile text against many stars stays fast (no exponential backtracking).
    EXPECT_FALSE(globMatches("*a*a*a*a*a*a*a*a*b", std::string(5000, 'a'), false));
}

TEST(Glob, PatternsParseAsPaths) {
    const auto p = parseCounterPattern("\\Process(firefox:*)\\*");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->object, "Process");
    EXPECT_EQ(p->instance, "firefox:*");
    EXPECT_TRUE(p->isWildcard());
    const auto literal = parseCounterPattern("\\Process(a[*]b:1)\\ID Process");
    ASSERT_TRUE(literal);
    EXPECT_FALSE(literal->isWildcard());
    EXPECT_EQ(literal->literalPath(), "\\Process(a*b:1)\\ID Process");
    EXPECT_FALSE(parseCounterPattern("Processor(*)"));
}

testing::Captured run(const std::vector<std::string>& args) {
    const std::string tree = std::string(VANTOREL_FIXTURES) + "/vm-t0";
    testing::FakePacer pacer;
    std::ostringstream out;
    std::ostringstream err;
    testing::Captured r;
    r.code = runCommandLine(args, Roots{tree, tree}, pacer, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(PatternCommands, ListAndSampleExpandToTheCurrentInstances) {
    const auto listed = run({"list", "\\processor(*)\\% processor time", "\\Network Interface(eth*)\\Bytes*"});
    EXPECT_EQ(listed.code, kExitOk) << listed.err;
    EXPECT_EQ(lines(listed.out),
              (std::vector<std::string>{"\\Processor(_Total)\\% Processor Time", "\\Processor(0)\\% Processor Time",
                                        "\\Processor(1)\\% Processor Time",
                                        "\\Network Interface(eth0)\\Bytes Received/sec",
                                        "\\Network Interface(eth0)\\Bytes Sent/sec",
                                        "\\Network Interface(eth0)\\Bytes Total/sec"}));

    const auto sampled = run({"sample", "--samples", "1", "\\Processor(*)\\% Idle Time", "\\Memory\\Free Bytes"});
    EXPECT_EQ(sampled.code, kExitOk) << sampled.err;
    ASSERT_FALSE(lines(sampled.out).empty());
    EXPECT_EQ(lines(sampled.out)[0],
              "time,\\Processor(_Total)\\% Idle Time,\\Processor(0)\\% Idle Time,\\Processor(1)\\% Idle Time,"
              "\\Memory\\Free Bytes");
}

TEST(PatternCommands, APatternMatchingNothingIsAUsageError) {
    for (const char* command : {"list", "sample"}) {
        const auto r = run({command, "\\Processor(nosuch*)\\*"});
        EXPECT_EQ(r.code, kExitUsage) << command;
        EXPECT_EQ(r.out, "") << command;
        EXPECT_NE(r.err.find("\\Processor(nosuch*)\\*\" matches no counter"), std::string::npos) << r.err;
    }
    // An escaped star is a literal instance: accepted, and absent now.
    const auto literal = run({"sample", "--samples", "1", "\\Process(a[*]:1)\\ID Process"});
    EXPECT_EQ(literal.code, kExitOk);
    EXPECT_NE(literal.err.find("\\Process(a*:1)\\ID Process: PDH_CSTATUS_NO_INSTANCE"), std::string::npos)
        << literal.err;
}

}  // namespace
}  // namespace vantorel::cli
