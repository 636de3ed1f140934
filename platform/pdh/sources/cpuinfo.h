// /proc/cpuinfo: the clock of each cpu where the architecture prints one.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

struct CpuClock {
    unsigned cpu = 0;        // "processor : N"
    std::uint64_t khz = 0;   // "cpu MHz : 2994.374", in kHz

    bool operator==(const CpuClock&) const = default;
};

// The cpus whose block holds both lines, in file order; empty where the
// architecture prints no "cpu MHz" (most arm machines).
std::vector<CpuClock> parseCpuinfoClocks(std::string_view text);

}  // namespace vantorel::pdh::sources
