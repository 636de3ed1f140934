// The window as built: its layout, its start state, opening and closing the query,
// and the platform's handling of exceptions that escape a handler.
#include <QCheckBox>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include "window_fixture.h"

namespace {

struct Placement {
    const char* name;
    int left, top, width, height;
    const char* caption;
};

TControl* controlNamed(TForm1& form, const std::string& name) {
    if (name == "StatusBar1") return form.StatusBar1;
    if (name == "Button2") return form.Button2;
    if (name == "Button4") return form.Button4;
    if (name == "ListView1") return form.ListView1;
    if (name == "CheckBox1") return form.CheckBox1;
    return nullptr;
}

QString captionOf(TControl* control) {
    if (auto* button = qobject_cast<QAbstractButton*>(control->widget())) return button->text();
    return {};
}

}  // namespace

TEST_F(WindowTest, StartsEmptyWithTheQueryOpen) {
    TForm1& form = open();
    EXPECT_EQ(form.Caption.get(), "Vantorel");
    EXPECT_EQ(form.widget()->windowTitle(), "Vantorel");
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(form.CheckBox1->Checked());
    EXPECT_FALSE(form.Timer1->Enabled.get());
    EXPECT_FALSE(form.Timer1->timer()->isActive());
    EXPECT_EQ(form.Timer1->Interval.get(), 1000u);
    EXPECT_EQ(status(), "");
    EXPECT_EQ(script().calls.open, 1);
    EXPECT_EQ(script().openUserData, 1u);
    EXPECT_EQ(hQuery, script().queryHandle());
    EXPECT_EQ(script().calls.collect, 0);
}

TEST_F(WindowTest, ControlsStandWhereDesigned) {
    TForm1& form = open();
    const Placement designed[] = {
        {"StatusBar1", 0, 494, 775, 19, ""},
        {"Button4", 16, 16, 75, 25, "Add Counter"},
        {"Button2", 16, 64, 75, 25, "Update"},
        {"CheckBox1", 16, 112, 137, 17, "Update Every Second"},
        {"ListView1", 24, 208, 729, 257, ""},
    };
    for (const Placement& p : designed) {
        SCOPED_TRACE(p.name);
        TControl* control = controlNamed(form, p.name);
        ASSERT_NE(control, nullptr);
        const QRect inClient(control->widget()->mapTo(form.widget(), QPoint(0, 0)), control->widget()->size());
        EXPECT_EQ(inClient, QRect(p.left, p.top, p.width, p.height));
        EXPECT_EQ(captionOf(control), QString(p.caption));
    }
    EXPECT_EQ(form.widget()->pos(), QPoint(265, 147));
    EXPECT_EQ(form.Width(), 783);
    EXPECT_EQ(form.Height(), 540);
    EXPECT_EQ(form.Font.get().Name, "MS Sans Serif");
    EXPECT_EQ(form.Font.get().Height, -11);
    EXPECT_EQ(form.Button2->widget()->font().pixelSize(), 11);
    EXPECT_EQ(form.Color.get(), clBtnFace);
    // No scroll bars at the designed size.
    EXPECT_FALSE(vcl_detail::scrollAreaOf(form)->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(vcl_detail::scrollAreaOf(form)->verticalScrollBar()->isVisible());
}

TEST_F(WindowTest, TableIsAReportWithGridLinesAndColumnsFillingItsWidth) {
    TForm1& form = open();
    QTableView* view = vcl_detail::viewOf(*form.ListView1);
    EXPECT_TRUE(view->showGrid());
    ASSERT_EQ(view->model()->columnCount(), 3);
    const char* names[] = {"Name", "Counter", "Value"};
    int total = 0;
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(view->model()->headerData(c, Qt::Horizontal).toString(), names[c]);
        total += view->horizontalHeader()->sectionSize(c);
    }
    EXPECT_TRUE(view->horizontalHeader()->isVisible());
    EXPECT_EQ(total, view->viewport()->width());
}

TEST_F(WindowTest, FocusStartsOnUpdateAndTabsInDesignedOrder) {
    TForm1& form = open();
    QApplication::setActiveWindow(form.widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.widget()));
    QWidget* expected[] = {form.Button2->widget(), form.Button4->widget(), form.ListView1->widget(),
                           form.CheckBox1->widget(), form.Button2->widget()};
    EXPECT_EQ(QApplication::focusWidget(), expected[0]);
    for (int i = 1; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << "after " << i << " tabs";
    }
}

TEST_F(WindowTest, FailedOpenIsReportedAndTheWindowStillWorks) {
    script().openStatus = PDH_INVALID_ARGUMENT;
    open();
    EXPECT_EQ(status(), "PdhOpenQuery error ");
    EXPECT_EQ(hQuery, nullptr);

    // The library turns the null handle down; each call says so in its own words.
    click(form_->Button2);
    EXPECT_EQ(status(), "PdhOpenQuery error PdhCollectQueryData error ");
    addThroughBrowser("\\Processor(_Total)\\% Processor Time");
    EXPECT_EQ(status(), "PdhAddCounter error ");
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(Counters.empty());
    click(form_->CheckBox1);
    EXPECT_TRUE(form_->Timer1->Enabled.get());
}

TEST_F(WindowTest, ClosingClosesTheQueryOnceAndKeepsTheRecords) {
    open();
    addThroughBrowser("\\Memory\\Available Bytes");
    addThroughBrowser("\\Memory\\Available Bytes");
    ASSERT_EQ(Counters.size(), 2u);
    _tag_PDHCounterStruct* first = Counters[0];
    form_->Close();
    form_->Close();
    EXPECT_FALSE(form_->Visible());
    EXPECT_EQ(script().calls.close, 1);
    EXPECT_FALSE(script().queryOpen);
    ASSERT_EQ(Counters.size(), 2u);
    EXPECT_EQ(Counters[0], first);
    // Still a live record: the sanitizer build would catch a freed one.
    EXPECT_EQ(first->hCounter, script().counters[0].handle);
}

TEST_F(WindowTest, ExceptionFromAHandlerIsReportedAndTheProgramGoesOn) {
    open();
    addThroughBrowser("\\Memory\\Available Bytes");
    bool failNext = true;
    script().read = [&failNext](std::size_t, const vantorel::pdh::scripted::ScriptedCounter&) {
        if (failNext) {
            failNext = false;
            throw Exception("list index out of bounds");
        }
        return vantorel::pdh::scripted::ReadResult{ERROR_SUCCESS, 0, 42, true};
    };
    auto answered = answerNextMessageBox();
    click(form_->Button2);
    EXPECT_TRUE(answered->seen);
    EXPECT_TRUE(answered->modal);
    EXPECT_EQ(answered->text, "list index out of bounds");

    click(form_->Button2);
    EXPECT_EQ(cell(0, 2), "42");
}

TEST_F(WindowTest, ResizingMovesOnlyTheStatusBar) {
    TForm1& form = open();
    QWidget* window = form.widget();
    const QRect buttonBefore = form.Button4->widget()->geometry();
    const QRect tableBefore = form.ListView1->widget()->geometry();

    window->resize(1000, 700);
    QApplication::processEvents();
    EXPECT_EQ(form.Button4->widget()->geometry(), buttonBefore);
    EXPECT_EQ(form.ListView1->widget()->geometry(), tableBefore);
    EXPECT_EQ(form.StatusBar1->widget()->geometry(), QRect(0, 700 - 19, 1000, 19));

    window->resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(form.ListView1->widget()->geometry(), tableBefore);
    EXPECT_EQ(form.StatusBar1->widget()->geometry(), QRect(0, 300 - 19, 400, 19));
    QScrollArea* scroll = vcl_detail::scrollAreaOf(form);
    EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 753 - scroll->viewport()->width());
}
