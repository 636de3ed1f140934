// /sys/class/net/IF/speed: the link speed in Mbit/s.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

// "1000\n" -> 1000. The kernel writes -1 for an unknown speed: that, any other
// negative, and garbage are no value.
std::optional<std::uint32_t> parseNetSpeed(std::string_view text);

}  // namespace vantorel::pdh::sources
