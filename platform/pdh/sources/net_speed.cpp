#include "platform/pdh/sources/net_speed.h"

#include "platform/pdh/sources/scan.h"

#include <limits>

namespace vantorel::pdh::sources {

std::optional<std::uint32_t> parseNetSpeed(std::string_view text) {
    scan::Lines lines(text);
    std::string_view line;
    if (!lines.next(line)) {
        return std::nullopt;
    }
    const auto speed = scan::toNumber<std::int64_t>(scan::trim(line));
    if (!speed || *speed < 0 || *speed > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*speed);
}

}  // namespace vantorel::pdh::sources
