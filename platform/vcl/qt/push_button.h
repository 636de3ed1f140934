#pragma once

#include <QPushButton>

namespace vcl_detail {

// A push button that Enter presses as well as Space, as on the platform the
// window comes from; Qt leaves Enter to a dialog's default button.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    PushButton() = default;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace vcl_detail
