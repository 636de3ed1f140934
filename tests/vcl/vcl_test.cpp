// The GUI layer's own promises that the window relies on: a status text of any
// length costs only what shows, table changes reach the view once per return to
// the event loop, and bad indexes raise the layer's exception.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QFontMetrics>
#include <QWidget>
#include <QSignalSpy>

#include "layer_fixture.h"

namespace {

TEST_F(LayerTest, StatusBarLaysOutOnlyTheHeadOfALongText) {
    std::string text = "\\Processor(_Total)\\% Processor Time";
    bar->SimpleText = text;
    for (int i = 0; i < 100000; ++i) bar->SimpleText += "PdhCollectQueryData error ";
    const QString visible = vcl_detail::statusBarVisibleText(*bar);
    EXPECT_TRUE(visible.startsWith(QString::fromStdString(text) + "PdhCollectQueryData error "));
    EXPECT_LE(visible.toUtf8().size(), vcl_detail::statusBarVisibleByteLimit(*bar));
    // Still enough to fill the bar.
    EXPECT_GT(QFontMetrics(bar->widget()->font()).horizontalAdvance(visible), bar->Width());
    EXPECT_EQ(bar->SimpleText.get().size(), text.size() + 100000 * std::string("PdhCollectQueryData error ").size());
}

TEST_F(LayerTest, StatusBarShowsNonUtf8BytesWithoutHarm) {
    bar->SimpleText = std::string("\\Process(\xff\xfe:1)\\ID Process");
    EXPECT_FALSE(vcl_detail::statusBarVisibleText(*bar).isEmpty());
}

TEST_F(LayerTest, CellChangesReachTheViewOnceWhenTheLoopRuns) {
    QAbstractItemModel* model = vcl_detail::modelOf(*list);
    for (int i = 0; i < 50; ++i) {
        TListItem* item = list->Items->Add();
        item->Caption = "row";
        item->SubItems->Add("path");
        item->SubItems->Add("N/A");
    }
    QApplication::processEvents();
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    for (int i = 0; i < 50; ++i) list->Items->Item[i]->SubItems->Strings[1] = std::to_string(i);
    // The model already serves the new texts...
    EXPECT_EQ(model->data(model->index(49, 2)).toString(), "49");
    EXPECT_EQ(changes.count(), 0);
    QApplication::processEvents();
    // ...and the view hears of them once, for the Value column only.
    ASSERT_EQ(changes.count(), 1);
    const auto topLeft = changes.at(0).at(0).value<QModelIndex>();
    const auto bottomRight = changes.at(0).at(1).value<QModelIndex>();
    EXPECT_EQ(topLeft, model->index(0, 2));
    EXPECT_EQ(bottomRight, model->index(49, 2));
}

TEST_F(LayerTest, BadIndexesRaiseTheLayersException) {
    TListItem* item = list->Items->Add();
    item->SubItems->Add("only one");
    EXPECT_THROW(list->Items->Item[1], Exception);
    EXPECT_THROW(list->Items->Item[-1], Exception);
    EXPECT_THROW(item->SubItems->Strings[1] = "x", Exception);
    EXPECT_EQ(item->SubItems->Get(0), "only one");
}

TEST_F(LayerTest, ClosingAFormAsksItsHandlerWhichMayRefuse) {
    int asked = 0;
    form->OnClose = [&](TObject* sender, TCloseAction& action) {
        EXPECT_EQ(sender, form);
        EXPECT_EQ(action, caHide);
        ++asked;
        if (asked == 1) action = caNone;
    };
    form->Close();
    EXPECT_TRUE(form->Visible());
    form->Close();
    EXPECT_FALSE(form->Visible());
    form->Close();
    EXPECT_EQ(asked, 2);
}

}  // namespace
