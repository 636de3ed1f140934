// /proc/interrupts: interrupt counts per source and per cpu since boot.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

struct InterruptColumns {
    std::vector<unsigned> cpus;         // N of each "CPUN" heading (online cpus only)
    std::vector<std::uint64_t> totals;  // each cpu's column summed over every line
    unsigned malformedLines = 0;

    bool operator==(const InterruptColumns&) const = default;
};

// Lines that hold no count for every cpu (ERR:, MIS: on x86) are machine-wide
// and add to no column. std::nullopt without the CPU heading line.
std::optional<InterruptColumns> parseInterrupts(std::string_view text);

}  // namespace vantorel::pdh::sources
