// Picking the processes out of a listing of /proc (the engine lists the
// directory; this only judges the names).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

// A pid directory is all decimal digits, no sign, no leading zero, 1..2^31-1.
std::optional<std::int32_t> parsePid(std::string_view entryName);

// The pids among the names, ascending, each once.
std::vector<std::int32_t> pidsFromEntries(std::span<const std::string> entryNames);

}  // namespace vantorel::pdh::sources
