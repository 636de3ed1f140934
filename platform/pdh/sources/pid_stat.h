// /proc/PID/stat: one process's identity, times and memory.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantorel::pdh::sources {

struct PidStat {
    std::int32_t pid = 0;
    std::string comm;  // not escaped: any bytes but NUL, as the process set them
    char state = '?';
    std::int32_t ppid = 0;
    std::uint64_t minflt = 0;
    std::uint64_t majflt = 0;
    std::uint64_t utime = 0;      // clock ticks
    std::uint64_t stime = 0;      // clock ticks
    std::int32_t nice = 0;        // -20 (favoured) .. 19
    std::uint64_t numThreads = 0;
    std::uint64_t starttime = 0;  // clock ticks after boot
    std::uint64_t vsize = 0;      // bytes
    std::uint64_t rss = 0;        // pages

    bool operator==(const PidStat&) const = default;
};

// All or nothing: std::nullopt unless fields (1) to (24) all parse.
std::optional<PidStat> parsePidStat(std::string_view text);

}  // namespace vantorel::pdh::sources
