// /proc/vmstat: paging event counts since boot.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct Vmstat {
    OptU64 pgfault;  // page faults, minor and major
    OptU64 pswpin;   // pages swapped in
    OptU64 pswpout;  // pages swapped out
    OptU64 pgpgin;   // kB paged in from block devices
    OptU64 pgpgout;  // kB paged out to block devices
    OptU64 pgmajfault;
    OptU64 pgfree;
    // Pages scanned and reclaimed by every reclaimer (kswapd, direct,
    // khugepaged, proactive; per zone on old kernels). The _anon and _file
    // fields split the same pages by type and pgscan_direct_throttle counts
    // throttling events, so none of them is added.
    OptU64 pgscan;
    OptU64 pgsteal;

    bool operator==(const Vmstat&) const = default;
};

// std::nullopt when none of the fields above is found.
std::optional<Vmstat> parseVmstat(std::string_view text);

}  // namespace vantorel::pdh::sources
