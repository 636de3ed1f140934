// Text a control cuts at its right edge can still be read: a tooltip with the
// whole text, and table columns a person can drag wider.
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include "layer_fixture.h"

namespace {

// The tip a person resting the mouse at pos would see; a widget with none to
// show leaves the event unaccepted.
std::string toolTipAt(QWidget* widget, QPoint pos) {
    QHelpEvent event(QEvent::ToolTip, pos, widget->mapToGlobal(pos));
    QApplication::sendEvent(widget, &event);
    return event.isAccepted() && QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
}

const std::string longPath = "\\Process(a-process-with-a-long-name:12345)\\IO Read Operations/sec";

TEST_F(LayerTest, ACutCellShowsItsWholeTextAndAFittingOneNone) {
    TListItem* item = list->Items->Add();
    item->Caption = longPath;
    item->SubItems->Add("4");
    QApplication::processEvents();
    QTableView* view = vcl_detail::viewOf(*list);
    const QRect nameCell = view->visualRect(view->model()->index(0, 0));
    const QRect counterCell = view->visualRect(view->model()->index(0, 1));
    EXPECT_EQ(toolTipAt(view->viewport(), nameCell.center()), longPath);
    EXPECT_EQ(toolTipAt(view->viewport(), counterCell.center()), "");
    EXPECT_EQ(toolTipAt(view->viewport(), QPoint(nameCell.center().x(), view->viewport()->height() - 2)), "")
        << "below the rows";
}

TEST_F(LayerTest, ColumnsCanBeDraggedWiderAndTheTableScrolls) {
    QTableView* view = vcl_detail::viewOf(*list);
    QHeaderView* header = view->horizontalHeader();
    const int before = header->sectionSize(0);
    const int edge = header->sectionViewportPosition(0) + before - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + 200, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge + 200, y));
    EXPECT_EQ(header->sectionSize(0), before + 200);
    // What no longer fits the width scrolls into view.
    QApplication::processEvents();
    EXPECT_GT(view->horizontalScrollBar()->maximum(), 0);
}

TEST_F(LayerTest, AutoSizedColumnsFillTheWidthUntilDragged) {
    for (int c = 0; c < 3; ++c) (*list->Columns)[c]->AutoSize = true;
    QTableView* view = vcl_detail::viewOf(*list);
    QHeaderView* header = view->horizontalHeader();
    const auto total = [&] { return header->sectionSize(0) + header->sectionSize(1) + header->sectionSize(2); };
    EXPECT_EQ(total(), view->viewport()->width());
    // Rows enough for a vertical scroll bar narrow the width to fill.
    for (int i = 0; i < 40; ++i) list->Items->Add()->Caption = "row";
    QApplication::processEvents();
    ASSERT_TRUE(view->verticalScrollBar()->isVisible());
    EXPECT_EQ(total(), view->viewport()->width());
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Interactive);
}

struct StatusCase {
    const char* name;
    std::string text;
    bool tip;          // a tooltip at all
    bool whole;        // the whole text, else its end after an ellipsis
};

TEST_F(LayerTest, StatusTextCutOffShowsWholeOrItsEndInATooltip) {
    std::string many;
    for (int i = 0; i < 100; ++i) many += "PdhCollectQueryData error ";
    // Multi-byte characters where the end is cut: the tip starts on a whole one.
    std::string wide;
    for (int i = 0; i < 400; ++i) wide += "\xc3\xa9";
    const StatusCase cases[] = {
        {"fits", "\\Memory\\Available MBytes", false, true},
        {"cut, short enough to show whole", longPath + longPath, true, true},
        {"long", "\\Memory\\Available MBytes" + many, true, false},
        {"long, multi-byte", wide + "x", true, false},
    };
    for (const StatusCase& c : cases) {
        SCOPED_TRACE(c.name);
        bar->SimpleText = c.text;
        const QString tip = vcl_detail::statusBarToolTip(*bar);
        const QString text = QString::fromStdString(c.text);
        if (!c.tip) {
            EXPECT_TRUE(tip.isEmpty());
            EXPECT_EQ(toolTipAt(bar->widget(), QPoint(5, 5)), "");
        } else if (c.whole) {
            EXPECT_EQ(tip, text);
            EXPECT_EQ(toolTipAt(bar->widget(), QPoint(5, 5)), "<qt>" + text.toHtmlEscaped().toStdString() + "</qt>");
        } else {
            ASSERT_TRUE(tip.startsWith(QChar(0x2026)));
            EXPECT_TRUE(text.endsWith(tip.mid(1)));
            EXPECT_GE(tip.mid(1).toUtf8().size(), 500);
            EXPECT_LE(tip.mid(1).toUtf8().size(), 512);
            EXPECT_FALSE(tip.contains(QChar::ReplacementCharacter));
        }
    }
}

}  // namespace
