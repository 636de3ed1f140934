// Comma-separated records as RFC 4180 quotes them. Counter paths can hold commas,
// quotes and even newlines (a process may name itself so), so quoting is not
// optional.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantorel::cli {

// The field as written: quoted, with inner quotes doubled, when it holds a comma,
// a quote, CR or LF; unchanged otherwise.
std::string csvField(std::string_view text);

// The fields joined by commas and ended with LF (the line end of this platform;
// readers of RFC 4180 text accept it).
std::string csvRecord(const std::vector<std::string>& fields);

}  // namespace vantorel::cli
