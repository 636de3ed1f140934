#include "platform/vcl/qt/check_box_style.h"

#include <QApplication>
#include <QPointer>
#include <QProxyStyle>

namespace vcl_detail {

namespace {

constexpr int labelSpacing = 3;

class CheckBoxStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing) return labelSpacing;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

QStyle* checkBoxStyle() {
    // One per application; it goes with the application object.
    static QPointer<QStyle> style;
    if (style.isNull()) {
        style = new CheckBoxStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style.data();
}

}  // namespace vcl_detail
