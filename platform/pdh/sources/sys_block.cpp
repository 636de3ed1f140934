#include "platform/pdh/sources/sys_block.h"

#include <algorithm>

namespace vantorel::pdh::sources {

std::vector<std::string> wholeDisks(std::span<const std::string> entryNames) {
    std::vector<std::string> disks;
    disks.reserve(entryNames.size());
    for (const std::string& entry : entryNames) {
        if (entry.empty() || entry == "." || entry == "..") {
            continue;
        }
        std::string name = entry;
        std::replace(name.begin(), name.end(), '!', '/');
        disks.push_back(std::move(name));
    }
    std::sort(disks.begin(), disks.end());
    disks.erase(std::unique(disks.begin(), disks.end()), disks.end());
    return disks;
}

}  // namespace vantorel::pdh::sources
