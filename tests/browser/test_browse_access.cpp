// The browser for a screen reader and for a person who opens two at once.
#include "platform/pdh/browser/cascade.h"
#include "platform/pdh/browser/run_browse_dialog.h"

#include "dialog_driver.h"
#include "fake_enumeration.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include <memory>
#include <optional>
#include <vector>

namespace vantorel::pdh::test {
namespace {

using BrowseAccess = BrowserTest;

struct Named {
    const char* objectName;
    QAccessible::Role role;
    const char* name;
};

TEST_F(BrowseAccess, EveryControlHasANameARoleAndADescription) {
    FakeEnumeration source;
    PDH_BROWSE_DLG_CONFIG_A config = monitorConfig(buffer.data(), 1024);
    config.bHideDetailBox = 0;
    config.bLocalCountersOnly = 0;
    onDialog(kCaption, [](BrowseCountersDialog& d) {
        const Named controls[] = {
            {"machineBox", QAccessible::ComboBox, "Computer"},
            {"objectList", QAccessible::List, "Performance objects"},
            {"counterList", QAccessible::List, "Counters"},
            {"instanceFilter", QAccessible::EditableText, "Instance filter"},
            {"instanceList", QAccessible::List, "Instances"},
            {"descriptionLabel", QAccessible::StaticText, "Counter description"},
            {"detailLevelBox", QAccessible::ComboBox, "Detail level"},
        };
        for (const Named& c : controls) {
            SCOPED_TRACE(c.objectName);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&part<QWidget>(d, c.objectName));
            ASSERT_NE(accessible, nullptr);
            EXPECT_EQ(accessible->role(), c.role);
            // Qt names a combo box by its current item and gives its name as a
            // label; every other control by its name.
            const QString name = c.role == QAccessible::ComboBox ? part<QWidget>(d, c.objectName).accessibleName()
                                                                  : accessible->text(QAccessible::Name);
            EXPECT_EQ(name.toStdString(), c.name);
            EXPECT_FALSE(accessible->text(QAccessible::Description).isEmpty());
        }
        // The description pane's text changes with the counter and is read out.
        const QString first = QAccessible::queryAccessibleInterface(&part<QWidget>(d, "descriptionLabel"))
                                  ->text(QAccessible::Description);
        press(counters(d), Qt::Key_Down);
        EXPECT_NE(QAccessible::queryAccessibleInterface(&part<QWidget>(d, "descriptionLabel"))
                      ->text(QAccessible::Description),
                  first);
        QAccessibleInterface* ok = QAccessible::queryAccessibleInterface(&okButton(d));
        EXPECT_EQ(ok->role(), QAccessible::Button);
        EXPECT_EQ(ok->text(QAccessible::Name).toStdString(), "OK");
        d.reject();
    });
    EXPECT_EQ(runBrowseDialog(&config, source), PDH_DIALOG_CANCELLED);
}

TEST_F(BrowseAccess, ASecondBrowserOpensCascadedFromTheFirst) {
    FakeEnumeration source;
    std::array<char, 1024> innerBuffer{};
    PDH_BROWSE_DLG_CONFIG_A outer = monitorConfig(buffer.data(), 1024);
    PDH_BROWSE_DLG_CONFIG_A inner = monitorConfig(innerBuffer.data(), 1024);
    char innerCaption[] = "Inner";
    inner.szDialogBoxCaption = innerCaption;
    QPoint outerAt;
    QPoint innerAt;
    onDialog(kCaption, [&](BrowseCountersDialog& outerDialog) {
        outerAt = outerDialog.pos();
        QTimer::singleShot(0, &outerDialog, [&, dialog = &outerDialog] {
            onDialog("Inner", [&](BrowseCountersDialog& d) {
                innerAt = d.pos();
                d.reject();
            });
            runBrowseDialog(&inner, source);
            dialog->reject();
        });
    });
    runBrowseDialog(&outer, source);
    EXPECT_NE(innerAt, outerAt) << "not exactly over the first";

    // With none open, a browser opens where a lone one does.
    QPoint aloneAt;
    onDialog(kCaption, [&](BrowseCountersDialog& d) {
        aloneAt = d.pos();
        d.reject();
    });
    runBrowseDialog(&outer, source);
    EXPECT_EQ(aloneAt, outerAt);
}

TEST(Cascade, EachNewWindowStepsFromTheNewestOpenOne) {
    Cascade cascade;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    std::vector<std::unique_ptr<QWidget>> windows;
    const auto open = [&](std::optional<QPoint> at = std::nullopt) {
        auto window = std::make_unique<QWidget>();
        window->resize(200, 100);
        cascade.place(*window);
        if (at) window->move(*at);  // where a person put it
        window->show();
        windows.push_back(std::move(window));
        return windows.back()->pos();
    };
    const QPoint start = area.topLeft() + QPoint(50, 40);
    const QPoint first = open(start);
    const int step = windows.back()->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, windows.back().get());
    ASSERT_GT(step, 0);
    EXPECT_EQ(first, start) << "the first stays where it was put";
    EXPECT_EQ(open(), start + QPoint(step, step));
    EXPECT_EQ(open(), start + 2 * QPoint(step, step));
    // Closing the newest makes the one before it the newest again.
    windows.back()->hide();
    EXPECT_EQ(open(), start + 2 * QPoint(step, step));
    // Past the screen's edge it starts again at the corner, or a step from it
    // when a window stands there.
    windows.clear();
    open(area.topLeft());
    open(area.bottomRight() - QPoint(220, 120));
    EXPECT_EQ(open(), area.topLeft() + QPoint(step, step));
}

}  // namespace
}  // namespace vantorel::pdh::test
