// The window as a keyboard user meets it: Tab leaves the table in the designed
// order, and Enter presses the focused button.
#include <QTableView>

#include "window_fixture.h"

namespace {

struct TabKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool forward;
};

TEST_F(WindowTest, TabKeysLeaveATableWithRowsInTheDesignedOrder) {
    TForm1& form = open();
    addThroughBrowser("\\Memory\\Available Bytes");
    addThroughBrowser("\\Processor(_Total)\\% Processor Time");
    QApplication::setActiveWindow(form.widget());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.widget()));
    QTableView* table = vcl_detail::viewOf(*form.ListView1);
    const TabKey keys[] = {
        {"Tab", Qt::Key_Tab, Qt::NoModifier, true},
        {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, false},
        {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier, true},
        {"Ctrl+Shift+Tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, false},
    };
    for (const TabKey& k : keys) {
        SCOPED_TRACE(k.name);
        table->setFocus(Qt::OtherFocusReason);
        table->setCurrentIndex(table->model()->index(0, 0));
        ASSERT_EQ(QApplication::focusWidget(), table);
        QTest::keyClick(table, k.key, k.modifiers);
        EXPECT_EQ(QApplication::focusWidget(), k.forward ? form.CheckBox1->widget() : form.Button4->widget());
        EXPECT_EQ(table->currentIndex().row(), 0) << "the current row stays";
    }
    // Arrows still move the current row.
    table->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(table, Qt::Key_Down);
    EXPECT_EQ(table->currentIndex().row(), 1);
}

TEST_F(WindowTest, EnterOnAFocusedButtonPressesIt) {
    TForm1& form = open();
    addThroughBrowser("\\Memory\\Available Bytes");
    const int collects = script().calls.collect;
    form.Button2->widget()->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(form.Button2->widget(), Qt::Key_Return);
    EXPECT_EQ(script().calls.collect, collects + 1);
}

}  // namespace
