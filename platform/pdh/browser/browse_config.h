// What the caller's browse settings ask of the dialog, checked before any window
// shows.
#pragma once

#include "pdh/pdh.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::pdh {

inline constexpr const char* kDefaultBrowseCaption = "Browse Performance Counters";

// Where the dialog starts when the caller names no path, or one we cannot use.
inline constexpr std::string_view kStartObject = "Processor";
inline constexpr std::string_view kStartCounter = "% Processor Time";
inline constexpr std::string_view kStartInstance = "_Total";

struct StartChoice {
    std::string object;
    std::string counter;
    std::string instance;
};

struct BrowseOptions {
    std::string caption = kDefaultBrowseCaption;
    // Counters above this level are not listed. 0 from the caller means "not
    // given" and lists every counter (wizard).
    unsigned detailLevel = PERF_DETAIL_WIZARD;
    bool showDetailBox = false;
    // A machine row showing the local machine, the only one there is; without
    // bLocalCountersOnly the caller asked to see it.
    bool showMachine = false;
    bool machineSelectable = false;
    StartChoice start{std::string(kStartObject), std::string(kStartCounter),
                      std::string(kStartInstance)};
    // Bytes the caller's buffer holds, the terminator included.
    std::size_t capacity = 0;
};

struct BrowseConfigCheck {
    PDH_STATUS status = PDH_INVALID_ARGUMENT;
    BrowseOptions options;
};

// Refuses (PDH_INVALID_ARGUMENT) a null config or buffer, a zero length, reserved
// bits, a data source (only live data is served), an owner window, a detail level
// below novice, and every mode that returns anything but one plain path: several
// counters per add or per dialog, wildcard instances, instance indexes, object-only
// paths. Reads the initial path only inside cchReturnPathLength.
BrowseConfigCheck checkBrowseConfig(const PDH_BROWSE_DLG_CONFIG_A* config);

enum class PathFit { Fits, TooLong, HoldsZeroByte };

// Whether the path can be returned whole, zero-terminated, in capacity bytes.
PathFit checkPathFits(std::string_view path, std::size_t capacity);

}  // namespace vantorel::pdh
