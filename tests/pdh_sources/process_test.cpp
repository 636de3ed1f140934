#include "platform/pdh/sources/pid_io.h"
#include "platform/pdh/sources/pid_stat.h"
#include "platform/pdh/sources/pid_status.h"
#include "platform/pdh/sources/proc_entries.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

constexpr std::uint64_t kKiB = 1024;

// A process of the captured machine started through a link named "w (x) y:\<newline>z)",
// so its comm holds a space, parentheses, a colon, a backslash and a newline.
constexpr std::string_view kOddPid = "proc/5915";

TEST(PidStat, ReadsAnOddCommFromTheCapturedMachine) {
    const auto stat = parsePidStat(test::machineFile(std::string(kOddPid) + "/stat"));
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->pid, 5915);
    EXPECT_EQ(stat->comm, "w (x) y:\\\nz)");
    EXPECT_EQ(stat->state, 'S');
    EXPECT_EQ(stat->ppid, 5867);
    EXPECT_EQ(stat->minflt, 178u);
    EXPECT_EQ(stat->majflt, 0u);
    EXPECT_EQ(stat->numThreads, 1u);
    EXPECT_EQ(stat->starttime, 46633u);
    EXPECT_EQ(stat->vsize, 2990080u);
    EXPECT_EQ(stat->rss, 407u);
}

TEST(PidStat, ReadsEachKeptFieldFromItsColumn) {
    // pid 1 of the captured machine:
    // 1 (process_api) S 0 0 0 0 -1 4194560 19465 1470443 0 724 57 209 2224 1299 10 -10 45 0 31 63238144 3376
    const auto stat = parsePidStat(test::machineFile("proc/1/stat"));
    ASSERT_TRUE(stat.has_value());
    EXPECT_EQ(stat->pid, 1);
    EXPECT_EQ(stat->comm, "process_api");
    EXPECT_EQ(stat->ppid, 0);
    EXPECT_EQ(stat->minflt, 19465u);
    EXPECT_EQ(stat->majflt, 0u);     // (12), not cminflt (11) 1470443
    EXPECT_EQ(stat->utime, 57u);
    EXPECT_EQ(stat->stime, 209u);    // not cutime (16) 2224
    EXPECT_EQ(stat->numThreads, 45u);
    EXPECT_EQ(stat->starttime, 31u);
    EXPECT_EQ(stat->vsize, 63238144u);
    EXPECT_EQ(stat->rss, 3376u);
}

TEST(PidStat, CommRunsToTheLastParenthesis) {
    struct Case {
        const char* text;
        std::string comm;
    };
    const std::string tail = " R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n";
    const Case cases[] = {
        {"12 (a b)", "a b"},
        {"12 ((x)", "(x"},
        {"12 (a) b))", "a) b)"},
        {"12 (:1 \\ 2)", ":1 \\ 2"},
        {"12 ()", ""},
        {"12 (x\ny)", "x\ny"},
    };
    for (const Case& c : cases) {
        const std::string text = c.text + tail;
        SCOPED_TRACE(text);
        const auto stat = parsePidStat(text);
        ASSERT_TRUE(stat.has_value());
        EXPECT_EQ(stat->comm, c.comm);
        EXPECT_EQ(stat->minflt, 5u);
        EXPECT_EQ(stat->utime, 7u);
        EXPECT_EQ(stat->rss, 2u);
    }
}

TEST(PidStat, RefusesWhatIsNotAWholeStatLine) {
    const char* const cases[] = {
        "",
        "12 (a) R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2",    // no final newline: cut?
        "12 (a) R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096\n",     // stops at (23)
        "12 a) R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n",    // no '('
        "12 (a R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n",    // no ')'
        ")12 (a R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n",   // ')' before '('
        "x (a) R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n",
        "12 (a) RR 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2\n",
        "12 (a) R 1 1 1 0 -1 0 5 0 6 0 -7 8 0 0 20 0 3 0 99 4096 2\n",  // negative utime
        "12 (a) R 1 1 1 0 -1 0 5 0 6 0 7 8 0 0 20 0 3 0 99 4096 2x\n",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(parsePidStat(text).has_value()) << text;
    }
}

TEST(PidStatus, ReadsTheCapturedMachine) {
    const auto status = parsePidStatus(test::machineFile(std::string(kOddPid) + "/status"));
    ASSERT_TRUE(status.has_value());
    // status escapes the name ("w (x) y:\\\nz)"); unescaped it equals stat's comm.
    EXPECT_EQ(status->name, "w (x) y:\\\nz)");
    EXPECT_EQ(status->threads, 1u);
    EXPECT_EQ(status->vmRss, 1804 * kKiB);
    EXPECT_EQ(status->rssAnon, 112 * kKiB);
}

TEST(PidStatus, KernelThreadsAndOldKernelsLackMemoryLines) {
    const auto kthread = parsePidStatus(test::machineFile("proc/2/status"));
    ASSERT_TRUE(kthread.has_value());
    EXPECT_EQ(kthread->name, "kthreadd");
    EXPECT_EQ(kthread->threads, 1u);
    EXPECT_FALSE(kthread->vmRss.has_value());
    EXPECT_FALSE(kthread->rssAnon.has_value());
}

TEST(PidStatus, NameKeepsItsBlanksAndDecodesEscapes) {
    struct Case {
        const char* line;
        std::string name;
    };
    const Case cases[] = {
        {"Name:\t a b \n", " a b "},
        {"Name:\ta\\\\b\n", "a\\b"},
        {"Name:\ta\\nb\n", "a\nb"},
        {"Name:\ta\\tb\n", "a\tb"},
        {"Name:\ta\\qb\n", "a\\qb"},  // not an escape the kernel writes
        {"Name:\ta:b\n", "a:b"},
        {"Name:\tend\\\n", "end\\"},
    };
    for (const Case& c : cases) {
        const auto status = parsePidStatus(c.line);
        ASSERT_TRUE(status.has_value()) << c.line;
        EXPECT_EQ(status->name, c.name) << c.line;
    }
}

TEST(PidIo, ReadsTheCapturedMachine) {
    const auto io = parsePidIo(test::machineFile(std::string(kOddPid) + "/io"));
    ASSERT_TRUE(io.has_value());
    EXPECT_EQ(io->rchar, 6988u);
    EXPECT_EQ(io->wchar, 12u);
    EXPECT_EQ(io->syscr, 13u);
    EXPECT_EQ(io->syscw, 2u);
    EXPECT_EQ(io->readBytes, 0u);
    EXPECT_EQ(io->writeBytes, 0u);
}

TEST(PidIo, WithoutTaskAccountingOnlySomeLinesExist) {
    // Without CONFIG_TASK_IO_ACCOUNTING the kernel prints only the char counters.
    const auto io = parsePidIo("rchar: 5\nwchar: 6\nsyscr: 7\nsyscw: 8\n");
    ASSERT_TRUE(io.has_value());
    EXPECT_EQ(io->syscw, 8u);
    EXPECT_FALSE(io->readBytes.has_value());
    EXPECT_FALSE(parsePidIo("Name: x\n").has_value());
}

TEST(ProcEntries, PicksThePidDirectories) {
    const std::vector<std::string> names = {"self", "42", "1", "thread-self", "0", "007", "-3",
                                            "+5", "12a", "2147483647", "2147483648", "42", ""};
    const std::vector<std::int32_t> expected = {1, 42, 2147483647};
    EXPECT_EQ(pidsFromEntries(names), expected);
}

}  // namespace
}  // namespace vantorel::pdh::sources
