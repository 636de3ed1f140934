// Text meant for a terminal. Instance names come from processes, which choose
// their own names: control characters in them could move the cursor, recolour or
// retitle the terminal, so they are shown as '?'.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantorel::cli {

// C0 controls, DEL and the UTF-8 encodings of the C1 controls become '?'.
std::string displayText(std::string_view text);

// Text that displayText would change, written as the shell's $'...' quoting
// (controls as \n, \t or \xHH; '\' and '\'' escaped), so that pasted back into a
// shell it is the very same bytes and the terminal still sees no control
// character. Other text is returned as it is.
std::string shellQuotedIfControls(std::string_view text);

// Terminal columns of UTF-8 text, counted as one per code point.
std::size_t displayWidth(std::string_view text);

}  // namespace vantorel::cli
