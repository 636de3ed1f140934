// The one-value files of a cgroup v2 group: memory.current, memory.swap.current,
// memory.max (a number or "max"), and the id lists cgroup.procs, cgroup.threads.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

// "123\n": the number, else no value.
OptU64 parseCgroupNumber(std::string_view text);

struct CgroupLimit {
    bool unlimited = false;  // the file says "max"
    std::uint64_t bytes = 0;

    bool operator==(const CgroupLimit&) const = default;
};

// "max\n" or "123\n"; std::nullopt for anything else.
std::optional<CgroupLimit> parseCgroupLimit(std::string_view text);

// The ids of cgroup.procs or cgroup.threads, one a line; no value when a line
// is not an id.
OptU64 countCgroupIds(std::string_view text);

}  // namespace vantorel::pdh::sources
