#include "cli/value_text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace vantorel::cli {

std::string formatValue(double value) {
    if (!std::isfinite(value)) return {};
    // Room for the 309 integer digits of the largest double, the point and three places.
    std::array<char, 330> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, 3);
    if (result.ec != std::errc{}) return {};
    std::string text(buffer.data(), result.ptr);
    if (const auto point = text.find('.'); point != std::string::npos) {
        const auto last = text.find_last_not_of('0');
        text.erase(last == point ? point : last + 1);
    }
    // -0.0004 rounds to "-0".
    if (text == "-0") text = "0";
    return text;
}

}  // namespace vantorel::cli
