#include "platform/pdh/sources/disks_reader.h"

#include <algorithm>

#include "platform/pdh/sources/sys_block.h"

namespace vantorel::pdh {

bool DiskTable::isWholeDisk(std::string_view name) const {
    return std::binary_search(wholeDisks.begin(), wholeDisks.end(), name, std::less<>{});
}

DisksSource::DisksSource(const Roots& roots)
    : blockDir_(roots.sys + "sys/block"), diskstats_(roots.proc + "proc/diskstats") {}

const DiskTable* DisksSource::load(SourceCache& cache) {
    if (diskstats_.read(cache.reader(), cache.buffer()) != 0) return nullptr;
    table_.stats = sources::parseDiskstats(cache.buffer());
    // Every block device has a diskstats line, so /sys/block can only have
    // changed when the set of names there did: list it again only then.
    const auto& disks = table_.stats.disks;
    const bool same = wholeDisksKnown_ && disks.size() == namesSeen_.size() &&
                      std::equal(disks.begin(), disks.end(), namesSeen_.begin(),
                                 [](const sources::DiskStat& d, const std::string& n) { return d.name == n; });
    if (!same) {
        std::vector<std::string>& listing = cache.listing();
        wholeDisksKnown_ = cache.reader().listDirectory(blockDir_, listing) == 0;
        table_.wholeDisks = wholeDisksKnown_ ? sources::wholeDisks(listing) : std::vector<std::string>{};
        namesSeen_.clear();
        for (const auto& d : disks) namesSeen_.push_back(d.name);
    }
    return wholeDisksKnown_ ? &table_ : nullptr;
}

}  // namespace vantorel::pdh
