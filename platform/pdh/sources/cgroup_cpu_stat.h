// A cgroup v2 group's cpu.stat: its processor time since it was made, in
// microseconds. The first three keys are always there; the throttling keys only
// where the cpu controller is enabled for the group.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct CgroupCpuStat {
    OptU64 usageUsec;
    OptU64 userUsec;
    OptU64 systemUsec;
    OptU64 throttledUsec;
    unsigned malformedLines = 0;

    bool operator==(const CgroupCpuStat&) const = default;
};

// std::nullopt when none of the keys above is found.
std::optional<CgroupCpuStat> parseCgroupCpuStat(std::string_view text);

}  // namespace vantorel::pdh::sources
