// Update, the timer and the check box: one pass per refresh, every failure
// appended in order, every value written as "%ld".
#include <QTimer>
#include <map>

#include "window_fixture.h"

namespace {
using vantorel::pdh::scripted::ReadResult;
using vantorel::pdh::scripted::ScriptedCounter;
}  // namespace

TEST_F(WindowTest, UpdateOnAnEmptyTableStillCollects) {
    open();
    click(form_->Button2);
    EXPECT_EQ(script().calls.collect, 1);
    EXPECT_EQ(script().calls.read, 0);
    EXPECT_EQ(status(), "");

    script().nextCollects = {PDH_NO_DATA};
    click(form_->Button2);
    EXPECT_EQ(script().calls.collect, 2);
    EXPECT_EQ(status(), "PdhCollectQueryData error ");
}

TEST_F(WindowTest, ValuesAreWrittenAsDecimalText) {
    open();
    const std::map<std::size_t, LONG> values{{0, 0}, {1, -17}, {2, 2147483647}, {3, -2147483647 - 1}, {4, 1000000}};
    script().read = [&](std::size_t index, const ScriptedCounter&) {
        return ReadResult{ERROR_SUCCESS, 0, values.at(index), true};
    };
    for (int i = 0; i < 5; ++i) addThroughBrowser("\\System\\Processes");
    const char* shown[] = {"0", "-17", "2147483647", "-2147483648", "1000000"};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(cell(row, 2), shown[row]) << "row " << row;
        EXPECT_EQ(Counters[static_cast<std::size_t>(row)]->lValue, values.at(static_cast<std::size_t>(row)));
    }
    EXPECT_EQ(status(), "\\System\\Processes");
}

TEST_F(WindowTest, FailuresRunOnInTheOrderTheyArose) {
    open();
    addThroughBrowser("\\A\\ok");
    addThroughBrowser("\\B\\read fails");
    addThroughBrowser("\\C\\bad status");
    addThroughBrowser("\\D\\both");
    script().nextCollects = {PDH_NO_DATA};
    script().read = [](std::size_t index, const ScriptedCounter&) {
        switch (index) {
            case 1: return ReadResult{PDH_INVALID_DATA, 0, 5, true};
            case 2: return ReadResult{ERROR_SUCCESS, PDH_CSTATUS_INVALID_DATA, 6, true};
            case 3: return ReadResult{PDH_INVALID_DATA, PDH_CSTATUS_NO_INSTANCE, 7, true};
            default: return ReadResult{ERROR_SUCCESS, 0, 4, true};
        }
    };
    click(form_->Button2);
    EXPECT_EQ(status(),
              "\\D\\both"
              "PdhCollectQueryData error "
              "PdhGetFormattedCounterValue error "
              "pdhFormattedValue.CStatus error "
              "PdhGetFormattedCounterValue error "
              "pdhFormattedValue.CStatus error ");
    // A failed read still shows the value standing in the record.
    EXPECT_EQ(cell(1, 2), "5");
    EXPECT_EQ(cell(3, 2), "7");

    // A second failing pass leaves the same messages again.
    const std::string once = status().substr(std::string("\\D\\both").size());
    script().nextCollects = {PDH_NO_DATA};
    click(form_->Button2);
    EXPECT_EQ(status(), "\\D\\both" + once + once);
}

TEST_F(WindowTest, AReadThatWritesNothingStoresWhatTheRecordHolds) {
    open();
    addThroughBrowser("\\A\\first");
    addThroughBrowser("\\B\\second");
    // The first counter leaves 31 in the pass's record; the second read fails
    // without writing, so 31 is what the second row shows.
    script().read = [](std::size_t index, const ScriptedCounter&) {
        if (index == 0) return ReadResult{ERROR_SUCCESS, 0, 31, true};
        return ReadResult{PDH_INVALID_HANDLE, 0, 0, false};
    };
    click(form_->Button2);
    EXPECT_EQ(cell(0, 2), "31");
    EXPECT_EQ(cell(1, 2), "31");
    EXPECT_EQ(Counters[1]->lValue, 31);

    // Each pass starts from a cleared record: nothing carries over from the last one.
    script().read = [](std::size_t, const ScriptedCounter&) { return ReadResult{PDH_INVALID_HANDLE, 0, 0, false}; };
    click(form_->Button2);
    EXPECT_EQ(cell(0, 2), "0");
    EXPECT_EQ(cell(1, 2), "0");
}

TEST_F(WindowTest, TheTimerFollowsTheCheckBox) {
    open();
    QTimer* timer = form_->Timer1->timer();
    click(form_->CheckBox1);
    EXPECT_TRUE(form_->CheckBox1->Checked());
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 1000);
    // The first refresh comes a second after the click.
    EXPECT_GT(timer->remainingTime(), 900);
    EXPECT_EQ(script().calls.collect, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return script().calls.collect >= 1; }, 5000));

    click(form_->CheckBox1);
    EXPECT_FALSE(timer->isActive());
    const int collects = script().calls.collect;
    QTest::qWait(1300);
    EXPECT_EQ(script().calls.collect, collects);

    click(form_->CheckBox1);
    EXPECT_TRUE(timer->isActive());
    EXPECT_GT(timer->remainingTime(), 900);
}

TEST_F(WindowTest, UpdateWorksTheSameWithTheTimerRunning) {
    open();
    addThroughBrowser("\\Memory\\Available Bytes");
    LONG next = 100;
    script().read = [&next](std::size_t, const ScriptedCounter&) { return ReadResult{ERROR_SUCCESS, 0, next, true}; };
    click(form_->CheckBox1);
    next = 200;
    const int before = script().calls.collect;
    click(form_->Button2);
    EXPECT_EQ(script().calls.collect, before + 1);
    EXPECT_EQ(cell(0, 2), "200");
}
