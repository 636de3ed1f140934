// Judging the names of sysfs class listings (the engine lists the directories;
// this only reads the names).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

// "thermal_zone3" with prefix "thermal_zone" -> 3; "hwmon12" with "hwmon" -> 12.
// Digits only after the prefix, no leading zero.
std::optional<std::uint32_t> numberedEntry(std::string_view name, std::string_view prefix);

// The numbers of the entries named prefix+N, ascending.
std::vector<std::uint32_t> numberedEntries(std::span<const std::string> names, std::string_view prefix);

// /sys/class/drm holds adapters ("card0") beside their connectors
// ("card0-HDMI-A-1"), render nodes and a version file: the adapters, by number.
std::vector<std::string> drmCards(std::span<const std::string> names);

// A name taken from a caller's path that may be used as one directory entry.
bool isPlainEntryName(std::string_view name);

enum class HwmonKind : std::uint8_t { Temperature, Fan, Voltage, Current, Power };

// One channel of an hwmon chip: "temp1", "fan2", "in0", "curr1", "power1".
struct HwmonChannel {
    HwmonKind kind = HwmonKind::Temperature;
    std::uint32_t index = 0;
    std::string name;        // "temp1"
    std::string valueFile;   // "temp1_input", or "power1_average" without an input
    bool hasLabel = false;   // "temp1_label" exists
    bool hasMax = false;     // temperatures: "temp1_max"
    bool hasCrit = false;    // temperatures: "temp1_crit"
};

// The channels of a chip from the entries of its directory, a channel being
// one that has a value file; ordered by kind then index.
std::vector<HwmonChannel> hwmonChannels(std::span<const std::string> names);

}  // namespace vantorel::pdh::sources
