// What assistive technology finds in the window: every control named, with its
// role and a description, and the table's size.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>

#include "window_fixture.h"

namespace {

struct Expected {
    const char* field;
    QAccessible::Role role;
    const char* name;
};

TEST_F(WindowTest, EveryControlHasANameARoleAndADescription) {
    TForm1& form = open();
    const std::pair<TControl*, Expected> controls[] = {
        {form.Button2, {"Button2", QAccessible::Button, "Update"}},
        {form.Button4, {"Button4", QAccessible::Button, "Add Counter"}},
        {form.CheckBox1, {"CheckBox1", QAccessible::CheckBox, "Update Every Second"}},
        {form.ListView1, {"ListView1", QAccessible::Table, "Counter table"}},
        {form.StatusBar1, {"StatusBar1", QAccessible::StatusBar, "Status"}},
    };
    for (const auto& [control, expected] : controls) {
        SCOPED_TRACE(expected.field);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control->widget());
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), expected.role);
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), expected.name);
        EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty());
    }
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(form.widget());
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name).toStdString(), "Vantorel");
}

TEST_F(WindowTest, TheTableTellsItsRowsAndColumnsAndTheStatusItsText) {
    TForm1& form = open();
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(form.ListView1->widget());
    ASSERT_NE(table, nullptr);
    ASSERT_NE(table->tableInterface(), nullptr);
    EXPECT_EQ(table->tableInterface()->columnCount(), 3);
    EXPECT_EQ(table->tableInterface()->rowCount(), 0);
    addThroughBrowser("\\Memory\\Available Bytes");
    addThroughBrowser("\\Processor(_Total)\\% Processor Time");
    EXPECT_EQ(table->tableInterface()->rowCount(), 2);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(1, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), "\\Processor(_Total)\\% Processor Time");

    QAccessibleInterface* status = QAccessible::queryAccessibleInterface(form.StatusBar1->widget());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(QAccessible::Value).toStdString(), "\\Processor(_Total)\\% Processor Time");
}

}  // namespace
