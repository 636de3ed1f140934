// The window on a scaled display (QT_SCALE_FACTOR, set by the test's
// environment): the layout scales as a whole, captions still fit their
// controls, and the icon is drawn from an image of the display's size.
#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QIcon>
#include <QPushButton>
#include <QStyleOptionButton>
#include <cmath>
#include <cstdlib>

#include "../system/window_fixture.h"

namespace {

double expectedScale() {
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    return factor ? std::atof(factor) : 1.0;
}

TEST_F(WindowTest, TheLayoutScalesAsAWholeInLogicalPixels) {
    TForm1& form = open();
    ASSERT_DOUBLE_EQ(form.widget()->devicePixelRatioF(), expectedScale());
    const std::pair<TControl*, QRect> designed[] = {
        {form.Button4, {16, 16, 75, 25}},
        {form.Button2, {16, 64, 75, 25}},
        {form.CheckBox1, {16, 112, 137, 17}},
        {form.ListView1, {24, 208, 729, 257}},
        {form.StatusBar1, {0, 494, 775, 19}},
    };
    for (const auto& [control, rect] : designed) {
        const QRect inClient(control->widget()->mapTo(form.widget(), QPoint(0, 0)), control->widget()->size());
        EXPECT_EQ(inClient, rect);
    }
    EXPECT_EQ(form.ClientWidth(), 775);
    // Drawn at the display's resolution, not enlarged from a small drawing.
    const QPixmap drawn = form.widget()->grab();
    EXPECT_EQ(drawn.size(), (QSizeF(775, 513) * expectedScale()).toSize());
}

TEST_F(WindowTest, CaptionsFitTheirControls) {
    TForm1& form = open();
    for (TControl* control : {static_cast<TControl*>(form.Button2), static_cast<TControl*>(form.Button4),
                              static_cast<TControl*>(form.CheckBox1)}) {
        auto* button = qobject_cast<QAbstractButton*>(control->widget());
        ASSERT_NE(button, nullptr);
        SCOPED_TRACE(button->text().toStdString());
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool isCheckBox = qobject_cast<QCheckBox*>(button) != nullptr;
        const QRect room = button->style()->subElementRect(
            isCheckBox ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
        const qreal needed = QFontMetricsF(button->font(), button).horizontalAdvance(button->text());
        EXPECT_LE(needed, room.width());
    }
}

TEST_F(WindowTest, TheIconIsDrawnFromAnImageOfTheDisplaysSize) {
    const double scale = expectedScale();
    const QIcon icon = QApplication::windowIcon();
    const QPixmap shown = icon.pixmap(QSize(32, 32), scale);
    const int side = static_cast<int>(std::ceil(32 * scale));
    ASSERT_EQ(shown.size(), QSize(side, side));
    if (side == 32) return;
    // Enlarging the 32-pixel drawing would blur it; a drawing of this size is
    // shown as it is.
    const QImage drawing(QStringLiteral(":/MAINICON-%1").arg(side));
    ASSERT_FALSE(drawing.isNull());
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
              drawing.convertToFormat(QImage::Format_ARGB32));
    if (side % 32 == 0) {
        // Each pixel of the design a sharp square.
        const QImage design = QImage(QStringLiteral(":/MAINICON")).scaled(side, side, Qt::IgnoreAspectRatio,
                                                                          Qt::FastTransformation);
        EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
                  design.convertToFormat(QImage::Format_ARGB32));
    }
}

}  // namespace
