// One pressure-stall file (/proc/pressure/cpu, memory, io, irq):
//   some avg10=0.05 avg60=0.28 avg300=0.44 total=12809826
//   full avg10=0.04 avg60=0.22 avg300=0.38 total=11472116
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct PressureLine {
    // The kernel's running averages, in hundredths of a percent as it prints
    // them ("0.28" is 28).
    std::uint64_t avg10 = 0;
    std::uint64_t avg60 = 0;
    std::uint64_t avg300 = 0;
    std::uint64_t totalUs = 0;  // stalled microseconds since boot

    bool operator==(const PressureLine&) const = default;
};

// A line the file lacks stays no value: irq has no `some` line, cpu had no
// `full` line before Linux 5.13.
struct Pressure {
    std::optional<PressureLine> some;
    std::optional<PressureLine> full;

    bool operator==(const Pressure&) const = default;
};

// std::nullopt when neither line is well formed.
std::optional<Pressure> parsePressure(std::string_view text);

}  // namespace vantorel::pdh::sources
