// /proc/uptime: "350735.47 234388.90" (seconds up, idle seconds summed over cpus).
#pragma once

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct Uptime {
    double upSeconds = 0.0;
    std::optional<double> idleSeconds;

    bool operator==(const Uptime&) const = default;
};

// std::nullopt unless the first number parses and is finite and not negative.
std::optional<Uptime> parseUptime(std::string_view text);

}  // namespace vantorel::pdh::sources
