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
    // What a tooltip or a screen reader gives of the text: nothing while the
    // bar shows it whole, else the whole text, or its end when it is long.
    QString readableText() const;
    // The whole text, or its end when it is long.
    QString tailText() const;
    static constexpr std::size_t readableByteLimit = 512;
    // Tells assistive technology that the text changed.
    void textChanged();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const String* text_;
    mutable int narrowestAdvance_ = 0;
};

}  // namespace vcl_detail
