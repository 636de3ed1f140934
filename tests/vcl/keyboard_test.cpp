// Keys the layer's controls answer as on the platform the window comes from.
#include <QApplication>
#include <QTest>
#include <QTimer>

#include "layer_fixture.h"

namespace {

struct ButtonKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int clicks;
};

TEST_F(LayerTest, EnterAndSpacePressAFocusedButtonOtherKeysDoNot) {
    auto* button = new TButton(form);
    button->SetBounds(0, 0, 75, 25);
    button->Caption = "Update";
    button->TabOrder = 0;
    button->SetParent(form);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    const ButtonKey keys[] = {
        {"Return", Qt::Key_Return, Qt::NoModifier, 1},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 1},
        {"Space", Qt::Key_Space, Qt::NoModifier, 1},
        {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, 0},
        {"Alt+Return", Qt::Key_Return, Qt::AltModifier, 0},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, 0},
    };
    for (const ButtonKey& k : keys) {
        SCOPED_TRACE(k.name);
        clicks = 0;
        QTest::keyClick(button->widget(), k.key, k.modifiers);
        EXPECT_EQ(clicks, k.clicks);
    }
}

TEST_F(LayerTest, TimerIsPreciseNotCoarse) {
    // A coarse timer may fire 5 % early or late on any tick.
    TTimer timer(nullptr);
    EXPECT_EQ(timer.timer()->timerType(), Qt::PreciseTimer);
}

}  // namespace
