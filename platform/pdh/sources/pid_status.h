// /proc/PID/status: the fields stat lacks.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string>
#include <string_view>

namespace vantorel::pdh::sources {

struct PidStatus {
    // status writes a newline in the name as the two bytes \n and a backslash as
    // \\ (stat writes them raw); this is the name decoded, equal to stat's comm.
    std::optional<std::string> name;
    OptU64 threads;
    OptU64 vmRss;    // bytes; absent for kernel threads
    OptU64 rssAnon;  // bytes; absent before Linux 4.5 and for kernel threads
    OptU64 voluntaryCtxtSwitches;     // gave up the cpu (waited)
    OptU64 nonvoluntaryCtxtSwitches;  // was preempted

    bool operator==(const PidStatus&) const = default;
};

// std::nullopt when none of the fields above is found.
std::optional<PidStatus> parsePidStatus(std::string_view text);

// Decodes the C-style escapes status uses for the name (\n \t \\ and friends).
std::string unescapeStatusName(std::string_view text);

}  // namespace vantorel::pdh::sources
