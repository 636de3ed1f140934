// What every fuzz target shares: the input as text and a failing check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantorel::fuzz {

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return size == 0 || data == nullptr ? std::string_view{}
                                        : std::string_view(reinterpret_cast<const char*>(data), size);
}

// The text up to and including its last '\n': all a line parser may look at.
inline std::string_view completeLines(std::string_view text) {
    const std::size_t last = text.rfind('\n');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// A broken property must stop the fuzzer with a report, in every build type.
inline void require(bool property) {
    if (!property) {
        __builtin_trap();
    }
}

}  // namespace vantorel::fuzz
