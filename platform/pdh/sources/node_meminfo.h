// /sys/devices/system/node/nodeN/meminfo: one NUMA node's memory,
// "Node 0 MemTotal:       24683612 kB", converted to bytes.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct NodeMeminfo {
    OptU64 memTotal;
    OptU64 memFree;
    OptU64 filePages;
    OptU64 anonPages;

    bool operator==(const NodeMeminfo&) const = default;
};

// std::nullopt when none of the fields above is found.
std::optional<NodeMeminfo> parseNodeMeminfo(std::string_view text);

}  // namespace vantorel::pdh::sources
