#include "platform/pdh/sources/proc_entries.h"

#include "platform/pdh/sources/scan.h"

#include <algorithm>

namespace vantorel::pdh::sources {

std::optional<std::int32_t> parsePid(std::string_view entryName) {
    if (entryName.empty() || entryName.front() == '0') {
        return std::nullopt;
    }
    const auto pid = scan::toNumber<std::int32_t>(entryName);
    if (!pid || *pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

std::vector<std::int32_t> pidsFromEntries(std::span<const std::string> entryNames) {
    std::vector<std::int32_t> pids;
    pids.reserve(entryNames.size());
    for (const std::string& name : entryNames) {
        if (const auto pid = parsePid(name)) {
            pids.push_back(*pid);
        }
    }
    std::sort(pids.begin(), pids.end());
    pids.erase(std::unique(pids.begin(), pids.end()), pids.end());
    return pids;
}

}  // namespace vantorel::pdh::sources
