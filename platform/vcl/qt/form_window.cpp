#include "platform/vcl/qt/form_window.h"

#include <QCloseEvent>

#include "platform/vcl/forms.h"

namespace vcl_detail {

FormWindow::FormWindow(TForm* form)
    : form_(form), layout_(new QVBoxLayout(this)), scroll_(new QScrollArea), client_(new QWidget) {
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setWidget(client_);
    scroll_->setFocusPolicy(Qt::NoFocus);
    layout_->addWidget(scroll_, 1);
    client_->setAutoFillBackground(false);
    client_->installEventFilter(this);
}

void FormWindow::dockBottom(QWidget* widget) {
    widget->setParent(this);
    layout_->addWidget(widget, 0);
    widget->show();
}

void FormWindow::updateScrollRange() {
    int right = 0;
    int bottom = 0;
    for (QObject* child : client_->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow()) continue;
        right = std::max(right, widget->geometry().right() + 1);
        bottom = std::max(bottom, widget->geometry().bottom() + 1);
    }
    client_->setMinimumSize(right, bottom);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved)) {
        updateScrollRange();
    }
    return QWidget::eventFilter(watched, event);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    bool accept = true;
    form_->closeRequested(accept);
    if (accept) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace vcl_detail
