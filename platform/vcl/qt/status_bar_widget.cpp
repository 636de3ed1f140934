#include "platform/vcl/qt/status_bar_widget.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

namespace vcl_detail {

namespace {
constexpr int padding = 3;
constexpr int maxBytesPerCharacter = 4;
}  // namespace

StatusBarWidget::StatusBarWidget(const String* text) : text_(text) {
    setFocusPolicy(Qt::NoFocus);
}

void StatusBarWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) narrowestAdvance_ = 0;
    QWidget::changeEvent(event);
}

int StatusBarWidget::visibleByteLimit() const {
    if (narrowestAdvance_ == 0) {
        const QFontMetrics metrics(font());
        int narrowest = metrics.horizontalAdvance(QLatin1Char(' '));
        for (const char c : {'.', ',', ':', ';', '!', '|', '\'', 'i', 'l', '1', 'j', 'I'}) {
            narrowest = std::min(narrowest, metrics.horizontalAdvance(QLatin1Char(c)));
        }
        narrowestAdvance_ = std::max(1, narrowest);
    }
    const int characters = width() / narrowestAdvance_ + 1;
    return characters * maxBytesPerCharacter;
}

QString StatusBarWidget::visibleText() const {
    const auto limit = static_cast<std::size_t>(visibleByteLimit());
    const std::size_t length = std::min(text_->size(), limit);
    return QString::fromUtf8(text_->data(), static_cast<qsizetype>(length));
}

void StatusBarWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame panel;
    panel.initFrom(this);
    panel.lineWidth = 1;
    panel.frameShape = QFrame::Panel;
    panel.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &panel, &painter, this);
    const QRect area = rect().adjusted(padding, 0, -padding, 0);
    painter.setClipRect(area);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, visibleText());
}

}  // namespace vcl_detail
