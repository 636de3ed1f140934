// /proc/stat: cpu tick counters and the machine-wide event counts.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

// Ticks (USER_HZ) in the order the kernel prints them. Fields an older kernel
// does not print are 0 and `fields` says how many were there: steal needs 8,
// guest 9, guest_nice 10.
struct CpuTimes {
    std::uint64_t user = 0;
    std::uint64_t nice = 0;
    std::uint64_t system = 0;
    std::uint64_t idle = 0;
    std::uint64_t iowait = 0;
    std::uint64_t irq = 0;
    std::uint64_t softirq = 0;
    std::uint64_t steal = 0;
    // Already counted inside user and nice: never add them to a total.
    std::uint64_t guest = 0;
    std::uint64_t guestNice = 0;
    unsigned fields = 0;  // tick fields present on the line (4..10)

    bool hasSteal() const { return fields >= 8; }
    bool hasGuest() const { return fields >= 9; }
    bool hasGuestNice() const { return fields >= 10; }

    bool operator==(const CpuTimes&) const = default;
};

// user+nice+system+idle+iowait+irq+softirq+steal (no guest: it is inside user).
std::uint64_t totalTicks(const CpuTimes& t);

struct CpuLine {
    unsigned id = 0;  // N of "cpuN"; ids need not be contiguous
    CpuTimes times;

    bool operator==(const CpuLine&) const = default;
};

struct ProcStat {
    CpuTimes total;             // the "cpu" line
    std::vector<CpuLine> cpus;  // every well-formed "cpuN" line, in file order
    OptU64 ctxt;                // context switches since boot
    OptU64 interrupts;          // first number of "intr": all interrupts since boot
    OptU64 processes;           // forks since boot
    OptU64 procsRunning;
    OptU64 procsBlocked;
    OptU64 btime;               // boot time, seconds since the epoch
    unsigned malformedLines = 0;

    bool operator==(const ProcStat&) const = default;
};

// std::nullopt when there is no well-formed "cpu" total line.
std::optional<ProcStat> parseProcStat(std::string_view text);

}  // namespace vantorel::pdh::sources
