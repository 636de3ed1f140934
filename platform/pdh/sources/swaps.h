// /proc/swaps: the swap areas in use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

struct SwapArea {
    std::string path;  // unescaped: the kernel writes blanks and '\' as \040 \011 \012 \134
    std::string type;  // "partition" or "file"
    std::uint64_t sizeBytes = 0;
    std::uint64_t usedBytes = 0;
    std::int32_t priority = 0;

    bool operator==(const SwapArea&) const = default;
};

struct SwapTable {
    std::vector<SwapArea> areas;  // in file order
    unsigned malformedLines = 0;

    bool operator==(const SwapTable&) const = default;
};

// std::nullopt without the "Filename" heading; no areas is a valid answer.
std::optional<SwapTable> parseSwaps(std::string_view text);

}  // namespace vantorel::pdh::sources
