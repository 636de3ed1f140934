// /proc/PID/io: the process's I/O since it started (readable by its owner only).
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct PidIo {
    OptU64 rchar;       // bytes passed to read-like calls, cache hits included
    OptU64 wchar;
    OptU64 syscr;       // read-like system calls
    OptU64 syscw;
    OptU64 readBytes;   // bytes fetched from storage
    OptU64 writeBytes;

    bool operator==(const PidIo&) const = default;
};

// std::nullopt when none of the fields above is found.
std::optional<PidIo> parsePidIo(std::string_view text);

}  // namespace vantorel::pdh::sources
