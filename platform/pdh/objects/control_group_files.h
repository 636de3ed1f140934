// The files of one cgroup v2 group, kept by the query that watches it, and the
// group's identity: the directory (path and inode) first found under its path.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/provider.h"
#include "platform/pdh/sources/cgroup_cpu_stat.h"
#include "platform/pdh/sources/cgroup_io_stat.h"
#include "platform/pdh/sources/cgroup_memory_stat.h"
#include "platform/pdh/sources/cgroup_values.h"
#include "platform/pdh/sources/pressure.h"

namespace vantorel::pdh {

// The group's files, one source bit each.
enum GroupFile : unsigned {
    CpuStat, MemoryCurrent, MemoryMax, SwapCurrent, MemoryStat, MemoryEvents, IoStat,
    Procs, Threads, CpuPressure, MemoryPressure, IoPressure, GroupFileCount
};
using GroupFiles = SourceMask;

// What one collect read of them; a file that is absent (its controller is
// not enabled) or unreadable leaves its value empty.
struct GroupValues {
    std::optional<sources::CgroupCpuStat> cpu;
    sources::OptU64 memoryCurrent;
    std::optional<sources::CgroupLimit> memoryMax;
    sources::OptU64 swapCurrent;
    std::optional<sources::CgroupMemoryStat> memoryStat;
    std::optional<sources::CgroupMemoryEvents> memoryEvents;
    std::optional<sources::CgroupIoStat> io;
    sources::OptU64 processes;
    sources::OptU64 threads;
    std::optional<sources::Pressure> cpuPressure;
    std::optional<sources::Pressure> memoryPressure;
    std::optional<sources::Pressure> ioPressure;
};

// Its files are kept open between collects; the directory's inode is looked at
// only when one is opened or fails.
class ControlGroupTracker final : public InstanceState {
public:
    explicit ControlGroupTracker(std::string_view path);

    // Reads the files asked for, once; NO_INSTANCE when the group is not there,
    // or is no longer the directory first found.
    void collect(SourceCache& cache, GroupFiles files);

    PDH_STATUS status() const { return status_; }
    const GroupValues& values() const { return values_; }
    // When its counts began: boot for the machine's root group, else unknown.
    double start() const { return start_; }
    bool expired() const override { return lost_; }

private:
    bool stillSame(SystemReader& reader);
    void read(GroupFile file, SystemReader& reader, std::string& buffer, bool& failed);
    void lose();

    std::string path_;
    bool usable_;
    std::string dir_;
    std::array<KeptFile, GroupFileCount> files_;
    bool identified_ = false;
    bool lost_ = false;
    std::uint64_t inode_ = 0;
    double start_ = 0.0;
    PDH_STATUS status_ = PDH_NO_DATA;
    GroupValues values_;
};

}  // namespace vantorel::pdh
