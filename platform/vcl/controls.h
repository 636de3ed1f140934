// Visual controls: a place on their parent, and for windowed ones a tab order.
#pragma once

#include "platform/vcl/classes.h"
#include "platform/vcl/properties.h"

class QWidget;
class TWinControl;

enum class TAlign { alNone, alBottom };
inline constexpr TAlign alNone = TAlign::alNone;
inline constexpr TAlign alBottom = TAlign::alBottom;

class TControl : public TComponent {
public:
    ~TControl() override;

    virtual void SetBounds(int left, int top, int width, int height);
    int Left() const;
    int Top() const;
    virtual int Width() const;
    virtual int Height() const;

    void SetParent(TWinControl* parent);
    TWinControl* Parent() const { return parent_; }

    Property<TAlign> Align{alNone};
    Property<bool> Enabled{true};
    // What assistive technology reads for the control; the name defaults to
    // its caption, where it has one.
    TextProperty AccessibleName;
    TextProperty AccessibleDescription;

    // The layer's own widget; for the layer and its tests.
    QWidget* widget() const { return widget_; }

protected:
    TControl(TComponent* Owner, QWidget* widget);

private:
    QWidget* widget_;
    TWinControl* parent_ = nullptr;
};

class TWinControl : public TControl {
public:
    // Position in the keyboard order among the parent's controls; -1 takes no focus.
    Property<int> TabOrder{-1};

    // Where children are placed.
    virtual QWidget* clientWidget() const;
    // Called when a child is given this control as its parent.
    virtual void insertControl(TControl* control);

protected:
    using TControl::TControl;
};
