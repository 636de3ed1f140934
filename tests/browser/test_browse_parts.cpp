#include "platform/pdh/browser/browse_config.h"
#include "platform/pdh/browser/counter_path_split.h"
#include "platform/pdh/browser/display_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vantorel::pdh {
namespace {

TEST(SplitCounterPath, FindsTheInstanceBeforeTheLastBackslash) {
    struct Case {
        std::string path;
        bool parses;
        std::string object, instance, counter;
        bool hasInstance;
    };
    const std::vector<Case> cases = {
        {"\\Processor(_Total)\\% Processor Time", true, "Processor", "_Total", "% Processor Time", true},
        {"\\Memory\\Free Bytes", true, "Memory", "", "Free Bytes", false},
        {"\\Process(a) b\\c:(d:42)\\ID Process", true, "Process", "a) b\\c:(d:42", "ID Process", true},
        {"\\Process(x\n)\\y)\\ID Process", true, "Process", "x\n)\\y", "ID Process", true},
        {"\\Process()\\ID Process", true, "Process", "", "ID Process", true},
        {"", false, "", "", "", false},
        {"Memory\\Free Bytes", false, "", "", "", false},
        {"\\\\host\\Memory\\Free Bytes", false, "", "", "", false},
        {"\\Memory\\", false, "", "", "", false},
        {"\\Process(open\\ID Process", false, "", "", "", false},
        {"\\A\\B\\C", false, "", "", "", false},
        {"\\(x)\\C", false, "", "", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto parts = splitCounterPath(c.path);
        ASSERT_EQ(parts.has_value(), c.parses);
        if (parts) {
            EXPECT_EQ(parts->object, c.object);
            EXPECT_EQ(parts->instance, c.instance);
            EXPECT_EQ(parts->counter, c.counter);
            EXPECT_EQ(parts->hasInstance, c.hasInstance);
        }
    }
}

TEST(DisplayText, ShowsControlCharactersVisiblyOnOneLine) {
    struct Case {
        std::string_view bytes;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"new\nline", QString::fromUtf8("new\u23CEline")},
        {"a\tb", QString::fromUtf8("a\u2192b")},
        {std::string_view("z\0y\x1b\x7f", 5), QStringLiteral("z\\x00y\\x1B\\x7F")},
        {"c1\xc2\x85", QStringLiteral("c1\\u0085")},
        {"caf\xc3\xa9 (x)\\y", QString::fromUtf8("caf\u00e9 (x)\\y")},
        {"\xff", QString(QChar(0xFFFD))},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(displayText(c.bytes), c.shown) << c.shown.toStdString();
    }
}

TEST(CheckPathFits, CountsTheTerminator) {
    EXPECT_EQ(checkPathFits("abc", 4), PathFit::Fits);
    EXPECT_EQ(checkPathFits("abc", 3), PathFit::TooLong);
    EXPECT_EQ(checkPathFits("", 1), PathFit::Fits);
    EXPECT_EQ(checkPathFits(std::string_view("a\0b", 3), 100), PathFit::HoldsZeroByte);
}

}  // namespace
}  // namespace vantorel::pdh
