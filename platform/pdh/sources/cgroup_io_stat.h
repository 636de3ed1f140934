// A cgroup v2 group's io.stat (io controller only): one line per device,
// "MAJ:MIN rbytes=.. wbytes=.. rios=.. wios=.. dbytes=.. dios=..", plus keys
// that other io policies append. A group that has done no I/O has an empty file.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantorel::pdh::sources {

// Summed over the devices whose line parsed whole.
struct CgroupIoStat {
    std::uint64_t readBytes = 0;
    std::uint64_t writeBytes = 0;
    std::uint64_t reads = 0;
    std::uint64_t writes = 0;
    unsigned devices = 0;
    unsigned malformedLines = 0;

    bool operator==(const CgroupIoStat&) const = default;
};

// Never fails: an empty file is no I/O at all.
CgroupIoStat parseCgroupIoStat(std::string_view text);

}  // namespace vantorel::pdh::sources
