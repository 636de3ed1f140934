// Reads /proc/diskstats once per collect, with the whole disks /sys/block lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/source_cache.h"
#include "platform/pdh/sources/diskstats.h"

namespace vantorel::pdh {

struct DiskTable {
    sources::DiskstatsTable stats;
    std::vector<std::string> wholeDisks;  // of /sys/block, sorted

    bool isWholeDisk(std::string_view name) const;
};

class DisksSource {
public:
    using Value = DiskTable;

    explicit DisksSource(const Roots& roots);
    // Null when diskstats or /sys/block cannot be read.
    const DiskTable* load(SourceCache& cache);

private:
    std::string blockDir_;
    KeptFile diskstats_;
    DiskTable table_;
    bool wholeDisksKnown_ = false;
    std::vector<std::string> namesSeen_;  // diskstats names when /sys/block was last listed
};

}  // namespace vantorel::pdh
