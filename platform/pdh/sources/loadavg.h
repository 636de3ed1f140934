// /proc/loadavg: "0.52 0.58 0.59 3/612 12345".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct Loadavg {
    double load1 = 0.0;
    double load5 = 0.0;
    double load15 = 0.0;
    std::uint64_t running = 0;  // runnable scheduling entities now
    std::uint64_t total = 0;    // scheduling entities (threads) that exist
    std::uint64_t lastPid = 0;

    bool operator==(const Loadavg&) const = default;
};

// All or nothing: std::nullopt unless every field parses.
std::optional<Loadavg> parseLoadavg(std::string_view text);

}  // namespace vantorel::pdh::sources
