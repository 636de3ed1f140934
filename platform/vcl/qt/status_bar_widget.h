#pragma once

#include <QWidget>

#include "platform/vcl/system.h"

namespace vcl_detail {

// Shows the head of a text that may grow without bound. Only the bytes that can
// fit the width are ever converted and laid out, so a long text costs nothing.
class StatusBarWidget : public QWidget {
    Q_OBJECT
public:
    explicit StatusBarWidget(const String* text);

    // The bytes of the text a paint lays out at most.
    int visibleByteLimit() const;
    QString visibleText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const String* text_;
    mutable int narrowestAdvance_ = 0;
};

}  // namespace vcl_detail
