#include "platform/vcl/controls.h"

#include <QWidget>

TControl::TControl(TComponent* Owner, QWidget* widget) : TComponent(Owner), widget_(widget) {
    Enabled.onChange([this](bool enabled) { widget_->setEnabled(enabled); });
    AccessibleName.onChange([this](std::size_t) {
        widget_->setAccessibleName(QString::fromStdString(AccessibleName.get()));
    });
    AccessibleDescription.onChange([this](std::size_t) {
        widget_->setAccessibleDescription(QString::fromStdString(AccessibleDescription.get()));
    });
}

TControl::~TControl() {
    // Owned controls may sit inside this widget: they go first.
    DestroyComponents();
    delete widget_;
}

void TControl::SetBounds(int left, int top, int width, int height) {
    widget_->setGeometry(left, top, width, height);
}

int TControl::Left() const { return widget_->x(); }
int TControl::Top() const { return widget_->y(); }
int TControl::Width() const { return widget_->width(); }
int TControl::Height() const { return widget_->height(); }

void TControl::SetParent(TWinControl* parent) {
    parent_ = parent;
    if (parent_) parent_->insertControl(this);
}

QWidget* TWinControl::clientWidget() const { return widget(); }

void TWinControl::insertControl(TControl* control) {
    const QRect geometry = control->widget()->geometry();
    control->widget()->setParent(clientWidget());
    control->widget()->setGeometry(geometry);
    control->widget()->show();
}
