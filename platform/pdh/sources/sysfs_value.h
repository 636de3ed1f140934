// One-value sysfs attribute files (a temperature, a fan speed, a battery's
// energy, a zone's type): the first line, as a number or as a word.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

// "-5000\n" -> -5000. Sensor readings are signed (a temperature below zero, a
// battery current that is negative while discharging).
std::optional<std::int64_t> parseSysfsInteger(std::string_view text);

// "Discharging\n" -> "Discharging", blanks trimmed; empty when there is no whole line.
std::string_view parseSysfsWord(std::string_view text);

// "0: 500Mhz\n1: 1800Mhz *\n": the clock of the line the driver marks with '*'
// (amdgpu's pp_dpm_sclk), in MHz.
std::optional<std::uint64_t> parseStarredClockMhz(std::string_view text);

}  // namespace vantorel::pdh::sources
