// How names from the kernel are shown in the browser's lists.
#pragma once

#include <QString>

#include <string_view>

namespace vantorel::pdh {

// The bytes as UTF-8 text a person can read on one line: a newline shows as "⏎",
// a tab as "→", any other control character as \xNN (\uNNNN above 0x7F), bytes
// that are not UTF-8 as the replacement mark. For showing only; the bytes
// themselves are kept apart and returned unchanged.
QString displayText(std::string_view bytes);

}  // namespace vantorel::pdh
