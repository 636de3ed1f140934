// Reads the mounts df lists and their statvfs once per collect.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/source_cache.h"

namespace vantorel::pdh {

struct MountSpace {
    std::string mountPoint;
    std::uint64_t usedBytes = 0;
    std::uint64_t availBytes = 0;
    std::optional<unsigned> usePercent;  // df's Use%
    bool measured = true;                // false: the mount is listed, its statvfs is not available
    std::uint64_t inodes = 0;            // 0: the file system has none
    std::uint64_t freeInodes = 0;
};

class MountsSource {
public:
    using Value = std::vector<MountSpace>;

    explicit MountsSource(const Roots& roots) : mountinfo_(roots.proc + "proc/self/mountinfo") {}
    // Null when mountinfo cannot be read.
    const Value* load(SourceCache& cache);

private:
    KeptFile mountinfo_;
    std::optional<Value> mounts_;
    std::string lastMountinfo_;
};

}  // namespace vantorel::pdh
