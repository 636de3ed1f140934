#include "platform/vcl/qt/status_bar_widget.h"

#include "platform/vcl/qt/status_bar_accessible.h"

#include <QAccessible>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
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
    installStatusBarAccessibility();
}

void StatusBarWidget::textChanged() {
    if (!QAccessible::isActive()) return;
    QAccessibleEvent event(this, QAccessible::ValueChanged);
    QAccessible::updateAccessibility(&event);
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

QString StatusBarWidget::readableText() const {
    const String& text = *text_;
    const bool shownWhole = text.size() <= static_cast<std::size_t>(visibleByteLimit()) &&
                            fontMetrics().horizontalAdvance(visibleText()) <= width() - 2 * padding;
    return shownWhole ? QString() : tailText();
}

QString StatusBarWidget::tailText() const {
    const String& text = *text_;
    if (text.size() <= readableByteLimit) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    // The newest messages are at the end; start on a character boundary.
    std::size_t from = text.size() - readableByteLimit;
    while (from < text.size() && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
    return QStringLiteral("\u2026") +
           QString::fromUtf8(text.data() + from, static_cast<qsizetype>(text.size() - from));
}

bool StatusBarWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const QString text = readableText();
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            event->accept();
            // As rich text the tip wraps instead of running off the screen.
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(),
                               QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>"), this);
        }
        return true;
    }
    return QWidget::event(event);
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
