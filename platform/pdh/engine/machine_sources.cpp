#include "platform/pdh/engine/machine_sources.h"

#include <algorithm>

#include "platform/pdh/engine/mount_filter.h"
#include "platform/pdh/sources/fs_space.h"
#include "platform/pdh/sources/net_speed.h"
#include "platform/pdh/sources/sys_block.h"

namespace vantorel::pdh {

std::string Roots::normalise(std::string root) {
    if (root.empty() || root.back() != '/') root += '/';
    return root;
}

MachineSources::MachineSources(const Roots& roots, SystemReader& reader)
    : roots_{Roots::normalise(roots.proc), Roots::normalise(roots.sys)},
      reader_(reader),
      statFile_(roots_.proc + "proc/stat"),
      meminfoFile_(roots_.proc + "proc/meminfo"),
      vmstatFile_(roots_.proc + "proc/vmstat"),
      uptimeFile_(roots_.proc + "proc/uptime"),
      netDevFile_(roots_.proc + "proc/net/dev"),
      diskstatsFile_(roots_.proc + "proc/diskstats"),
      mountinfoFile_(roots_.proc + "proc/self/mountinfo") {}

void MachineSources::collect(SourceSet needs, const std::vector<std::string>& speedInterfaces) {
    if (has(needs, Source::Stat))
        stat = statFile_.read(reader_, buffer_) == 0 ? sources::parseProcStat(buffer_) : std::nullopt;
    if (has(needs, Source::Meminfo))
        meminfo = meminfoFile_.read(reader_, buffer_) == 0 ? sources::parseMeminfo(buffer_) : std::nullopt;
    if (has(needs, Source::Vmstat))
        vmstat = vmstatFile_.read(reader_, buffer_) == 0 ? sources::parseVmstat(buffer_) : std::nullopt;
    if (has(needs, Source::Uptime))
        uptime = uptimeFile_.read(reader_, buffer_) == 0 ? sources::parseUptime(buffer_) : std::nullopt;
    if (has(needs, Source::NetDev)) {
        netDev.reset();
        if (netDevFile_.read(reader_, buffer_) == 0) netDev = sources::parseNetDev(buffer_);
    }
    if (has(needs, Source::NetSpeed)) readSpeeds(speedInterfaces);
    if (has(needs, Source::Diskstats)) readDisks();
    if (has(needs, Source::Mounts)) readMounts();
}

void MachineSources::readDisks() {
    diskstats.reset();
    if (diskstatsFile_.read(reader_, buffer_) != 0) return;
    diskstats = sources::parseDiskstats(buffer_);
    // Every block device has a diskstats line, so /sys/block can only have
    // changed when the set of names there did: list it again only then.
    const auto& disks = diskstats->disks;
    const bool same = wholeDisksKnown && disks.size() == diskNamesSeen_.size() &&
                      std::equal(disks.begin(), disks.end(), diskNamesSeen_.begin(),
                                 [](const sources::DiskStat& d, const std::string& n) { return d.name == n; });
    if (same) return;
    wholeDisksKnown = reader_.listDirectory(roots_.sys + "sys/block", listing_) == 0;
    wholeDisks = wholeDisksKnown ? sources::wholeDisks(listing_) : std::vector<std::string>{};
    diskNamesSeen_.clear();
    for (const auto& d : disks) diskNamesSeen_.push_back(d.name);
}

void MachineSources::readMounts() {
    if (mountinfoFile_.read(reader_, buffer_) != 0) {
        mounts.reset();
        lastMountinfo_.clear();
        return;
    }
    std::vector<MountSpace> spaces;
    if (mounts && buffer_ == lastMountinfo_) {
        spaces = std::move(*mounts);  // same mounts as last time: only statvfs again
    } else {
        lastMountinfo_ = buffer_;
        const sources::MountTable table = sources::parseMountinfo(buffer_);
        for (const sources::MountEntry* m : dfCandidates(table))
            if (m != nullptr) spaces.push_back(MountSpace{m->mountPoint, 0, 0, std::nullopt});
    }
    std::vector<MountSpace> listed;
    listed.reserve(spaces.size());
    for (MountSpace& space : spaces) {
        FileSystemStats st;
        if (reader_.fileSystemStats(space.mountPoint, st) != 0) continue;
        if (st.blocks == 0) continue;  // no blocks: df leaves it out
        const sources::FsBlocks blocks{st.blocks, st.freeBlocks, st.availableBlocks, st.blockSize};
        space.usePercent = sources::dfUsePercent(blocks);
        space.usedBytes = st.freeBlocks <= st.blocks ? (st.blocks - st.freeBlocks) * st.blockSize : 0;
        space.availBytes = st.availableBlocks * st.blockSize;
        listed.push_back(std::move(space));
    }
    mounts = std::move(listed);
}

void MachineSources::readSpeeds(const std::vector<std::string>& interfaces) {
    for (const std::string& name : interfaces) {
        // The name comes from a caller's path: never let it walk out of the directory.
        if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) continue;
        auto it = std::find_if(speeds.begin(), speeds.end(), [&](const NetSpeed& s) { return s.interface == name; });
        if (it == speeds.end()) {
            speeds.push_back(NetSpeed{name, KeptFile(roots_.sys + "sys/class/net/" + name + "/speed"), std::nullopt});
            it = speeds.end() - 1;
        }
        // A link that is down answers EINVAL: that too is an unknown speed.
        it->mbits = it->file.read(reader_, buffer_) == 0 ? sources::parseNetSpeed(buffer_) : std::nullopt;
        if (!it->mbits) it->file.close();  // the interface may have gone and come back
    }
}

const NetSpeed* MachineSources::speedOf(std::string_view interface) const {
    for (const NetSpeed& s : speeds)
        if (s.interface == interface) return &s;
    return nullptr;
}

}  // namespace vantorel::pdh
