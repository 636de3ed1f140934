#include "platform/vcl/forms.h"

#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "platform/vcl/qt/dispatch.h"
#include "platform/vcl/qt/form_window.h"
#include "platform/vcl/qt/qt_font.h"

TForm::TForm(TComponent* Owner)
    : TWinControl(Owner, new vcl_detail::FormWindow(this)),
      window_(static_cast<vcl_detail::FormWindow*>(widget())) {
    window_->setAttribute(Qt::WA_DeleteOnClose, false);
    Caption.onChange([this](std::size_t) {
        window_->setWindowTitle(QString::fromUtf8(Caption.get().data(), static_cast<qsizetype>(Caption.get().size())));
    });
    Color.onChange([this](TColor color) {
        QPalette palette = window_->palette();
        palette.setColor(QPalette::Window, vcl_detail::toQColor(color));
        window_->setPalette(palette);
        window_->setAutoFillBackground(true);
    });
    Font.onChange([this](const TFont& font) {
        window_->setFont(vcl_detail::toQFont(font));
        QPalette palette = window_->palette();
        palette.setColor(QPalette::WindowText, vcl_detail::toQColor(font.Color));
        palette.setColor(QPalette::ButtonText, vcl_detail::toQColor(font.Color));
        window_->setPalette(palette);
    });
    Font = Font.get();
    if (!QApplication::windowIcon().isNull()) window_->setWindowIcon(QApplication::windowIcon());
}

TForm::~TForm() {
    // The window's children are controls owned here; they go before the window.
    DestroyComponents();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    window_->move(left, top);
    window_->resize(std::max(0, width - FrameWidth), std::max(0, height - FrameHeight));
}

int TForm::Width() const { return window_->width() + FrameWidth; }
int TForm::Height() const { return window_->height() + FrameHeight; }
int TForm::ClientWidth() const { return window_->width(); }
int TForm::ClientHeight() const { return window_->height(); }

QWidget* TForm::clientWidget() const { return window_->client(); }

void TForm::insertControl(TControl* control) {
    if (control->Align == alBottom) {
        window_->dockBottom(control->widget());
        control->widget()->setFixedHeight(control->Height());
    } else {
        TWinControl::insertControl(control);
        window_->updateScrollRange();
    }
    if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
        tabControls_.push_back(windowed);
        windowed->TabOrder.onChange([this](int) { applyTabOrder(); });
        applyTabOrder();
    }
}

void TForm::applyTabOrder() {
    std::vector<TWinControl*> chain;
    for (TWinControl* control : tabControls_) {
        if (control->TabOrder >= 0) {
            chain.push_back(control);
        } else {
            control->widget()->setFocusPolicy(Qt::NoFocus);
        }
    }
    std::stable_sort(chain.begin(), chain.end(),
                     [](TWinControl* a, TWinControl* b) { return a->TabOrder < b->TabOrder; });
    for (std::size_t i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain[i - 1]->widget(), chain[i]->widget());
    }
    if (!chain.empty()) {
        // The first control in the keyboard order takes the focus when the form shows.
        chain.front()->widget()->setFocus(Qt::OtherFocusReason);
    }
}

void TForm::Show() {
    window_->show();
    window_->raise();
    window_->activateWindow();
    applyTabOrder();
}

void TForm::Close() { window_->close(); }

bool TForm::Visible() const { return window_->isVisible(); }

void TForm::closeRequested(bool& accept) {
    // A hidden form has nothing to close.
    if (!window_->isVisible()) return;
    const bool isMain = Application && Application->MainForm() == this;
    TCloseAction action = caHide;
    vcl_detail::dispatch([&] {
        if (OnClose) OnClose(this, action);
    });
    if (action == caNone) {
        accept = false;
        return;
    }
    accept = true;
    if (isMain) Application->Terminate();
}
