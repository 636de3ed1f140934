// The window as designed: every setting of the form and its controls, in one
// place. Positions are pixels of the client area at 96 pixels per inch.
#pragma once

#include <array>

#include "platform/vcl/graphics.h"

namespace form1_layout {

struct Window {
    const char* caption;
    int left, top, width, height;  // outer bounds
    TColor color;
    const char* fontName;
    int fontHeight;
    int pixelsPerInch;
    int textHeight;
};

struct Control {
    int left, top, width, height;
    const char* caption;  // nullptr: none
    int tabOrder;         // -1: takes no focus
};

inline constexpr Window form{"Vantorel", 265, 147, 783, 540, clBtnFace, "MS Sans Serif", -11, 96, 13};

inline constexpr Control statusBar1{0, 494, 775, 19, nullptr, -1};  // docked to the bottom edge
inline constexpr Control button4{16, 16, 75, 25, "Add Counter", 2};
inline constexpr Control button2{16, 64, 75, 25, "Update", 1};
inline constexpr Control checkBox1{16, 112, 137, 17, "Update Every Second", 4};
inline constexpr Control listView1{24, 208, 729, 257, nullptr, 3};

// The check box starts unchecked, as every check box does.

inline constexpr bool listView1GridLines = true;
inline constexpr std::array<const char*, 3> listView1Columns{"Name", "Counter", "Value"};

inline constexpr bool timer1Enabled = false;
inline constexpr unsigned timer1Interval = 1000;  // ms

}  // namespace form1_layout
