// File system space as df reports it, from statvfs's numbers (the engine makes
// the call; this is the arithmetic).
#pragma once

#include <cstdint>
#include <optional>

namespace vantorel::pdh::sources {

struct FsBlocks {
    std::uint64_t blocks = 0;        // f_blocks, in f_frsize units
    std::uint64_t freeBlocks = 0;    // f_bfree (root's reserve included)
    std::uint64_t availBlocks = 0;   // f_bavail (what users may still take)
    std::uint64_t fragmentSize = 0;  // f_frsize, bytes
};

// df's Use%: ceil(used * 100 / (used + avail)), used = blocks - free. No value
// when used + avail is 0 (df prints "-") or free exceeds blocks.
std::optional<unsigned> dfUsePercent(const FsBlocks& fs);

// f_bavail * f_frsize / 2^20, exact to a fraction (no overflow).
double freeMegabytes(const FsBlocks& fs);

}  // namespace vantorel::pdh::sources
