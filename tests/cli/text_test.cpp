// The pure pieces of the output: CSV quoting, value text, row times and the
// terminal-safe form of names.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <optional>
#include <string>

#include <unistd.h>

#include "cli/csv.h"
#include "cli/display_text.h"
#include "cli/timestamp.h"
#include "cli/value_text.h"

namespace vantorel::cli {
namespace {

TEST(Csv, QuotesOnlyWhatRfc4180Requires) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"\\Memory\\Free Bytes", "\\Memory\\Free Bytes"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"line\nbreak", "\"line\nbreak\""},
        {"cr\rhere", "\"cr\rhere\""},
        {" padded ", " padded "},
    };
    for (const auto& c : cases) EXPECT_EQ(csvField(c.in), c.out) << c.in;
}

TEST(Csv, RecordKeepsEmptyFieldsAndEndsTheLine) {
    EXPECT_EQ(csvRecord({"t", "", "1,5", ""}), "t,,\"1,5\",\n");
    EXPECT_EQ(csvRecord({""}), "\n");
}

TEST(ValueText, AtMostThreePlacesWithoutNoise) {
    const struct {
        double in;
        const char* out;
    } cases[] = {
        {0.0, "0"},         {-0.0, "0"},        {12.5, "12.5"},     {4.82304, "4.823"},
        {99.9996, "100"},   {0.0004, "0"},      {-0.0004, "0"},     {-2.25, "-2.25"},
        {1048576.0, "1048576"}, {23785.515625, "23785.516"}, {1e20, "100000000000000000000"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatValue(c.in), c.out) << c.in;
}

TEST(ValueText, NonFiniteIsNoValue) {
    EXPECT_EQ(formatValue(std::numeric_limits<double>::quiet_NaN()), "");
    EXPECT_EQ(formatValue(std::numeric_limits<double>::infinity()), "");
    EXPECT_EQ(formatValue(-std::numeric_limits<double>::infinity()), "");
    EXPECT_FALSE(formatValue(std::numeric_limits<double>::max()).empty());
}

TEST(Timestamp, Iso8601WithOffset) {
    EXPECT_EQ(iso8601({2026, 12, 11, 9, 5, 3, 7, 0}), "2026-12-11T09:05:03.007+00:00");
    EXPECT_EQ(iso8601({2026, 6, 1, 23, 59, 60, 999, 5 * 3600 + 45 * 60}), "2026-06-01T23:59:60.999+05:45");
    EXPECT_EQ(iso8601({1999, 1, 31, 0, 0, 0, 0, -(3 * 3600 + 30 * 60)}), "1999-01-31T00:00:00.000-03:30");
}

// Sets TZ for one test and puts the old value back.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* zone) {
        if (const char* old = std::getenv("TZ")) saved_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneGuard() {
        if (saved_) setenv("TZ", saved_->c_str(), 1);
        else unsetenv("TZ");
        tzset();
    }
    ZoneGuard(const ZoneGuard&) = delete;
    ZoneGuard& operator=(const ZoneGuard&) = delete;

private:
    std::optional<std::string> saved_;
};

TEST(Timestamp, LocalTimeCarriesTheZoneAndMilliseconds) {
    using namespace std::chrono;
    // 2026-12-11T12:30:55.250Z
    const system_clock::time_point when = system_clock::time_point(seconds(1796992255)) + milliseconds(250);
    {
        const ZoneGuard zone("UTC0");
        EXPECT_EQ(iso8601(localCivilTime(when)), "2026-12-11T12:30:55.250+00:00");
    }
    {
        // POSIX zone strings count west of UTC as positive.
        const ZoneGuard zone("<+0530>-5:30");
        EXPECT_EQ(iso8601(localCivilTime(when)), "2026-12-11T18:00:55.250+05:30");
    }
    {
        // Before 1970 the milliseconds must not borrow a second the wrong way.
        const ZoneGuard zone("UTC0");
        EXPECT_EQ(iso8601(localCivilTime(system_clock::time_point(milliseconds(-1)))),
                  "1969-12-31T23:59:59.999+00:00");
    }
}

TEST(DisplayText, ControlCharactersCannotReachTheTerminal) {
    EXPECT_EQ(displayText("w (x) y:\\\nz)"), "w (x) y:\\?z)");
    EXPECT_EQ(displayText("\x1b]0;title\x07"), "?]0;title?");
    EXPECT_EQ(displayText("del\x7f"), "del?");
    EXPECT_EQ(displayText("c1 \xc2\x9b" "31m"), "c1 ?31m");
    EXPECT_EQ(displayText("caf\xc3\xa9 \xc2\xa0ok"), "caf\xc3\xa9 \xc2\xa0ok");
}

TEST(DisplayText, WidthCountsCodePoints) {
    EXPECT_EQ(displayWidth(""), 0U);
    EXPECT_EQ(displayWidth("abc"), 3U);
    EXPECT_EQ(displayWidth("caf\xc3\xa9"), 4U);
    EXPECT_EQ(displayWidth("\xe2\x82\xac" "5"), 2U);
}

}  // namespace
}  // namespace vantorel::cli

namespace vantorel::cli {
namespace {

// What bash makes of a word pasted into it: the bytes printf receives.
std::string throughBash(const std::string& word) {
    char script[] = "/tmp/vantorel-quote-XXXXXX";
    const int fd = ::mkstemp(script);
    if (fd < 0) return "(no temporary file)";
    const std::string text = "printf %s " + word + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    std::string out;
    if (FILE* pipe = written ? ::popen(("bash " + std::string(script)).c_str(), "r") : nullptr) {
        char chunk[256];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.append(chunk, n);
        ::pclose(pipe);
    }
    ::unlink(script);
    return out;
}

TEST(ShellQuoting, PathsWithControlsRoundTripThroughTheShell) {
    const std::string cases[] = {
        "\\Process(w (x) y:\\\nz):5915)\\ID Process",
        "\\Process(tab\there:1)\\ID Process",
        "\\Process(esc\x1b[31mred's:2)\\ID Process",
        "\\Process(c1\xc2\x9b:3)\\ID Process",
    };
    for (const std::string& path : cases) {
        const std::string quoted = shellQuotedIfControls(path);
        EXPECT_EQ(displayText(quoted), quoted) << "a control character reaches the terminal";
        EXPECT_EQ(throughBash(quoted), path) << quoted;
    }
    EXPECT_EQ(shellQuotedIfControls("\\Processor(_Total)\\% Processor Time"), "\\Processor(_Total)\\% Processor Time");
}

}  // namespace
}  // namespace vantorel::cli
