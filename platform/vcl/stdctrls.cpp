#include "platform/vcl/stdctrls.h"

#include <QCheckBox>
#include "platform/vcl/qt/check_box_style.h"
#include "platform/vcl/qt/dispatch.h"
#include "platform/vcl/qt/push_button.h"

namespace {
QString toQString(const String& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

TButton::TButton(TComponent* Owner) : TWinControl(Owner, new vcl_detail::PushButton) {
    auto* button = static_cast<QPushButton*>(widget());
    button->setAutoDefault(false);
    Caption.onChange([this, button](std::size_t) { button->setText(toQString(Caption.get())); });
    QObject::connect(button, &QPushButton::clicked, button,
                     [this] { vcl_detail::dispatch([this] { if (OnClick) OnClick(this); }); });
}

TCheckBox::TCheckBox(TComponent* Owner) : TWinControl(Owner, new QCheckBox) {
    auto* box = static_cast<QCheckBox*>(widget());
    box->setStyle(vcl_detail::checkBoxStyle());
    Caption.onChange([this, box](std::size_t) { box->setText(toQString(Caption.get())); });
    QObject::connect(box, &QCheckBox::clicked, box,
                     [this] { vcl_detail::dispatch([this] { if (OnClick) OnClick(this); }); });
}

bool TCheckBox::Checked() const { return static_cast<const QCheckBox*>(widget())->isChecked(); }
