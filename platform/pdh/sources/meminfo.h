// /proc/meminfo: the memory figures, converted from kB to bytes.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

// Bytes. Each one is "no value" when its line is absent or malformed; MemAvailable
// is absent before Linux 3.14.
struct Meminfo {
    OptU64 memTotal;
    OptU64 memFree;
    OptU64 memAvailable;
    OptU64 buffers;
    OptU64 cached;
    OptU64 sReclaimable;
    OptU64 committedAs;
    OptU64 commitLimit;
    OptU64 swapTotal;
    OptU64 swapFree;
    OptU64 swapCached;
    OptU64 dirty;
    OptU64 writeback;
    OptU64 slab;
    OptU64 shmem;
    OptU64 anonPages;
    OptU64 pageTables;
    OptU64 kernelStack;
    OptU64 hugePagesTotal;  // a count of huge pages, not bytes
    OptU64 hugePagesFree;   // a count of huge pages, not bytes
    OptU64 hugepagesize;

    bool operator==(const Meminfo&) const = default;
};

// std::nullopt when none of the fields above is found.
std::optional<Meminfo> parseMeminfo(std::string_view text);

}  // namespace vantorel::pdh::sources
