// Add Counter: the browser's choice goes into the query, the list and the table,
// and shows its value at once.
#include <QEventLoop>
#include <QTimer>
#include <cstring>

#include "monitor/counter_path_buffer.h"
#include "window_fixture.h"

namespace {
using vantorel::pdh::scripted::choosePath;
using vantorel::pdh::scripted::ReadResult;
using vantorel::pdh::scripted::ScriptedCounter;

// Read before any test runs: the buffer is constant-initialised.
const std::string initialCounterPath = CounterPath;
}  // namespace

TEST_F(WindowTest, TheBrowserIsAskedForOneLocalCounter) {
    open();
    EXPECT_EQ(initialCounterPath, "\\Processor(_Total)\\% Processor Time");
    click(form_->Button4);
    ASSERT_EQ(script().calls.browse, 1);
    const PDH_BROWSE_DLG_CONFIG_A& c = script().lastBrowseConfig;
    EXPECT_EQ(c.bSingleCounterPerAdd, 1u);
    EXPECT_EQ(c.bSingleCounterPerDialog, 1u);
    EXPECT_EQ(c.bLocalCountersOnly, 1u);
    EXPECT_EQ(c.bHideDetailBox, 1u);
    EXPECT_EQ(c.bIncludeInstanceIndex | c.bWildCardInstances | c.bInitializePath | c.bDisableMachineSelection |
                  c.bIncludeCostlyObjects | c.bShowObjectBrowser,
              0u);
    EXPECT_EQ(c.szReturnPathBuffer, CounterPath);
    EXPECT_EQ(c.cchReturnPathLength, 1024u);
    EXPECT_EQ(c.dwDefaultDetailLevel, 400u);
    EXPECT_EQ(c.hWndOwner, nullptr);
    EXPECT_EQ(c.szDataSource, nullptr);
    EXPECT_EQ(c.pCallBack, nullptr);
    EXPECT_EQ(c.szDialogBoxCaption, nullptr);
}

TEST_F(WindowTest, ACancelledBrowseChangesNothing) {
    open();
    addThroughBrowser("\\Memory\\Free Bytes");
    const std::string before = status();
    char saved[CounterPathSize];
    std::memcpy(saved, CounterPath, sizeof saved);
    const int collects = script().calls.collect;

    click(form_->Button4);  // the script cancels
    EXPECT_EQ(status(), before);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(Counters.size(), 1u);
    EXPECT_EQ(script().calls.add, 1);
    EXPECT_EQ(script().calls.collect, collects);
    EXPECT_EQ(std::memcmp(saved, CounterPath, sizeof saved), 0);
}

TEST_F(WindowTest, AnAddShowsThePathAndTheFirstValue) {
    open();
    script().read = [](std::size_t, const ScriptedCounter&) { return ReadResult{ERROR_SUCCESS, 0, 12, true}; };
    const std::string path = "\\Process(a) b\\c:(d:4242)\\ID Process";
    addThroughBrowser(path);
    EXPECT_EQ(status(), path);
    ASSERT_EQ(rows(), 1);
    EXPECT_EQ(cell(0, 0).toStdString(), path);
    EXPECT_EQ(cell(0, 1).toStdString(), path);
    EXPECT_EQ(cell(0, 2), "12");
    ASSERT_EQ(script().counters.size(), 1u);
    EXPECT_EQ(script().counters[0].path, path);
    // The record's address is the counter's user data; its handle is the one returned.
    EXPECT_EQ(script().counters[0].userData, reinterpret_cast<DWORD_PTR>(Counters[0]));
    EXPECT_EQ(Counters[0]->hCounter, script().counters[0].handle);
    EXPECT_EQ(script().calls.collect, 1);
}

TEST_F(WindowTest, TheValueCellReadsNotAvailableUntilTheRefreshInTheSameAdd) {
    open();
    QString valueBeforeRefresh;
    script().onCollect = [&] { valueBeforeRefresh = cell(0, 2); };
    addThroughBrowser("\\Memory\\Free Bytes");
    EXPECT_EQ(valueBeforeRefresh, "N/A");
    EXPECT_EQ(cell(0, 2), "0");
}

TEST_F(WindowTest, TheSameCounterTwiceMakesTwoRowsWithTheirOwnHandles) {
    open();
    script().read = [](std::size_t index, const ScriptedCounter&) {
        return ReadResult{ERROR_SUCCESS, 0, static_cast<LONG>(10 + index), true};
    };
    addThroughBrowser("\\System\\Threads");
    addThroughBrowser("\\System\\Threads");
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(0, 0), cell(1, 0));
    EXPECT_NE(Counters[0], Counters[1]);
    EXPECT_NE(Counters[0]->hCounter, Counters[1]->hCounter);
    EXPECT_EQ(cell(0, 2), "10");
    EXPECT_EQ(cell(1, 2), "11");
}

TEST_F(WindowTest, ARefusedAddLeavesOnlyItsMessage) {
    open();
    addThroughBrowser("\\Memory\\Free Bytes");
    script().add = [](std::string_view) { return PDH_CSTATUS_NO_COUNTER; };
    const int collects = script().calls.collect;
    addThroughBrowser("\\Memory\\No Such Counter");
    EXPECT_EQ(status(), "PdhAddCounter error ");
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(Counters.size(), 1u);
    EXPECT_EQ(script().calls.collect, collects);
    // The record went at once; the sanitizer build would report it leaked otherwise.
}

TEST_F(WindowTest, AFirstReadThatFailsFollowsThePathDirectly) {
    open();
    addThroughBrowser("\\Memory\\Free Bytes");
    script().read = [](std::size_t index, const ScriptedCounter&) {
        if (index == 1) return ReadResult{PDH_INVALID_DATA, PDH_CSTATUS_NO_INSTANCE, 0, true};
        return ReadResult{ERROR_SUCCESS, 0, 1, true};
    };
    addThroughBrowser("\\Process(gone:1)\\ID Process");
    EXPECT_EQ(status(), "\\Process(gone:1)\\ID Process"
                        "PdhGetFormattedCounterValue error "
                        "pdhFormattedValue.CStatus error ");
}

TEST_F(WindowTest, TimerTicksRefreshWhileTheBrowserIsOpen) {
    open();
    addThroughBrowser("\\Memory\\Free Bytes");
    click(form_->CheckBox1);
    form_->Timer1->Interval = 50;
    int collectsWhileOpen = 0;
    bool mainWindowEnabled = false;
    script().browse = [&](PDH_BROWSE_DLG_CONFIG_A&) {
        // The browser's own loop serves the main window meanwhile.
        const int before = script().calls.collect;
        QEventLoop loop;
        QTimer::singleShot(400, &loop, &QEventLoop::quit);
        loop.exec();
        collectsWhileOpen = script().calls.collect - before;
        mainWindowEnabled = form_->widget()->isEnabled() && form_->Button2->widget()->isEnabled();
        return PDH_DIALOG_CANCELLED;
    };
    click(form_->Button4);
    click(form_->CheckBox1);
    EXPECT_GE(collectsWhileOpen, 2);
    EXPECT_TRUE(mainWindowEnabled);
}

TEST_F(WindowTest, ANestedBrowseAndAddCompletesInsideTheOuterOne) {
    open();
    int depth = 0;
    script().browse = [&](PDH_BROWSE_DLG_CONFIG_A& config) {
        ++depth;
        if (depth == 1) {
            // While the first browser is open the user clicks Add Counter again.
            click(form_->Button4);
            EXPECT_EQ(rows(), 1);
            return choosePath(config, "\\Outer\\Counter");
        }
        return choosePath(config, "\\Inner\\Counter");
    };
    click(form_->Button4);
    ASSERT_EQ(rows(), 2);
    EXPECT_EQ(cell(0, 0), "\\Inner\\Counter");
    EXPECT_EQ(cell(1, 0), "\\Outer\\Counter");
    EXPECT_EQ(status(), "\\Outer\\Counter");
}
