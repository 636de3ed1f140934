// A cgroup v2 group's memory.stat and memory.events (memory controller only):
// flat "key value" files of which the counters need a few keys.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct CgroupMemoryStat {
    OptU64 anonBytes;  // anonymous memory: heaps, stacks, private mappings
    OptU64 fileBytes;  // page cache, tmpfs and shared memory
    unsigned malformedLines = 0;

    bool operator==(const CgroupMemoryStat&) const = default;
};

struct CgroupMemoryEvents {
    OptU64 oomKill;  // processes the OOM killer killed in the group and below
    unsigned malformedLines = 0;

    bool operator==(const CgroupMemoryEvents&) const = default;
};

// std::nullopt when none of the struct's keys is found.
std::optional<CgroupMemoryStat> parseCgroupMemoryStat(std::string_view text);
std::optional<CgroupMemoryEvents> parseCgroupMemoryEvents(std::string_view text);

}  // namespace vantorel::pdh::sources
