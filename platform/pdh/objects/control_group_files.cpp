#include "platform/pdh/objects/control_group_files.h"

#include "platform/pdh/sources/cgroup_hierarchy.h"
#include "platform/pdh/sources/cgroup_reader.h"

namespace vantorel::pdh {
namespace {

constexpr std::array<std::string_view, GroupFileCount> kFileNames{
    "cpu.stat",      "memory.current", "memory.max",   "memory.swap.current",
    "memory.stat",   "memory.events",  "io.stat",      "cgroup.procs",
    "cgroup.threads", "cpu.pressure",  "memory.pressure", "io.pressure",
};

}  // namespace

ControlGroupTracker::ControlGroupTracker(std::string_view path)
    : path_(path), usable_(sources::isGroupPath(path)) {}

void ControlGroupTracker::lose() {
    for (KeptFile& f : files_) f.close();
    values_ = GroupValues{};
    lost_ = true;
    status_ = PDH_CSTATUS_NO_INSTANCE;
}

bool ControlGroupTracker::stillSame(SystemReader& reader) {
    std::uint64_t inode = 0;
    return reader.inspectDirectory(dir_, inode, nullptr) == 0 && inode == inode_;
}

void ControlGroupTracker::read(GroupFile file, SystemReader& reader, std::string& buffer, bool& failed) {
    if (files_[file].read(reader, buffer) != 0) {
        files_[file].close();  // its controller may be enabled later: open it again then
        failed = true;
        return;
    }
    GroupValues& v = values_;
    switch (file) {
        case CpuStat: v.cpu = sources::parseCgroupCpuStat(buffer); break;
        case MemoryCurrent: v.memoryCurrent = sources::parseCgroupNumber(buffer); break;
        case MemoryMax: v.memoryMax = sources::parseCgroupLimit(buffer); break;
        case SwapCurrent: v.swapCurrent = sources::parseCgroupNumber(buffer); break;
        case MemoryStat: v.memoryStat = sources::parseCgroupMemoryStat(buffer); break;
        case MemoryEvents: v.memoryEvents = sources::parseCgroupMemoryEvents(buffer); break;
        case IoStat: v.io = sources::parseCgroupIoStat(buffer); break;
        case Procs: v.processes = sources::countCgroupIds(buffer); break;
        case Threads: v.threads = sources::countCgroupIds(buffer); break;
        case CpuPressure: v.cpuPressure = sources::parsePressure(buffer); break;
        case MemoryPressure: v.memoryPressure = sources::parsePressure(buffer); break;
        case IoPressure: v.ioPressure = sources::parsePressure(buffer); break;
        case GroupFileCount: break;
    }
}

void ControlGroupTracker::collect(SourceCache& cache, GroupFiles files) {
    values_ = GroupValues{};
    status_ = PDH_CSTATUS_NO_INSTANCE;
    if (lost_ || !usable_) return;
    const CgroupHierarchy* hierarchy = cache.get<CgroupHierarchySource>();
    if (hierarchy == nullptr) return;  // no cgroup v2 here
    if (dir_.empty()) {
        dir_ = cgroupDirectory(*hierarchy, path_);
        for (unsigned f = 0; f < GroupFileCount; ++f) files_[f] = KeptFile(dir_ + "/" + std::string(kFileNames[f]));
        start_ = path_ == "/" && hierarchy->wholeHierarchy ? 0.0 : kUnknownStart;
    }
    SystemReader& reader = cache.reader();
    if (!identified_) {
        if (reader.inspectDirectory(dir_, inode_, nullptr) != 0) return;  // not there (yet)
        identified_ = true;
    }
    bool failed = false;
    bool opened = false;
    for (unsigned f = 0; f < GroupFileCount; ++f) {
        if ((files & src(f)) == 0) continue;
        const bool wasOpen = files_[f].isOpen();
        read(static_cast<GroupFile>(f), reader, cache.buffer(), failed);
        opened = opened || (!wasOpen && files_[f].isOpen());
    }
    // A kept file of a removed group fails to read (the kernel unbinds it), so
    // reads through kept files vouch for the group. A file opened just now, or
    // one that failed (a controller not enabled, or the group gone), needs the
    // directory to tell whether this is still the group first found.
    if ((failed || opened) && !stillSame(reader)) return lose();
    status_ = PDH_CSTATUS_VALID_DATA;
}

}  // namespace vantorel::pdh
