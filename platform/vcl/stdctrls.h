// Push buttons and check boxes.
#pragma once

#include "platform/vcl/controls.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* Owner);
    TextProperty Caption;
    TNotifyEvent OnClick;
};

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* Owner);
    TextProperty Caption;
    bool Checked() const;
    // Raised when the user toggles the box.
    TNotifyEvent OnClick;
};
