// What assistive technology reads for each control of the window: a name (the
// role, "button" or "table", is added by the reader) and what the control does.
#pragma once

namespace form1_accessibility {

struct Text {
    const char* name;
    const char* description;
};

inline constexpr Text statusBar1{"Status", "The path of the counter last chosen and any failure"};
inline constexpr Text button2{"Update", "Reads every counter's value now"};
inline constexpr Text button4{"Add Counter", "Opens the counter browser to add one counter to the table"};
inline constexpr Text listView1{"Counter table", "The added counters: name, counter path and current value"};
inline constexpr Text checkBox1{"Update Every Second", "Reads every counter's value once a second while checked"};

}  // namespace form1_accessibility
