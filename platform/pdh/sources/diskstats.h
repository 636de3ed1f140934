// /proc/diskstats: per block device I/O counters since boot.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

// Sectors are 512 bytes whatever the device's block size. The kernel keeps the
// millisecond fields in 32 bits, so they wrap.
struct DiskStat {
    unsigned major = 0;
    unsigned minor = 0;
    std::string name;
    std::uint64_t readsCompleted = 0;
    std::uint64_t sectorsRead = 0;
    std::uint64_t readMs = 0;
    std::uint64_t writesCompleted = 0;
    std::uint64_t sectorsWritten = 0;
    std::uint64_t writeMs = 0;
    std::uint64_t inFlight = 0;
    std::uint64_t ioTicksMs = 0;      // time the device was busy
    std::uint64_t timeInQueueMs = 0;  // weighted by the requests in flight
    // 0 where the kernel does not print them: discards came in 4.18, flushes in 5.5.
    std::uint64_t discardsCompleted = 0;
    std::uint64_t discardMs = 0;
    std::uint64_t flushesCompleted = 0;
    std::uint64_t flushMs = 0;

    bool operator==(const DiskStat&) const = default;
};

struct DiskstatsTable {
    std::vector<DiskStat> disks;  // in file order, partitions included
    unsigned malformedLines = 0;

    bool operator==(const DiskstatsTable&) const = default;
};

// Takes lines of 14 fields (before 4.18), 18 (discards) and 20 (flushes) or more;
// shorter lines are malformed. Never fails: no disks is a valid answer.
DiskstatsTable parseDiskstats(std::string_view text);

}  // namespace vantorel::pdh::sources
