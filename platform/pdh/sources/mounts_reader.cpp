#include "platform/pdh/sources/mounts_reader.h"

#include <algorithm>
#include <cerrno>

#include "platform/pdh/engine/mount_filter.h"
#include "platform/pdh/sources/fs_space.h"
#include "platform/pdh/sources/mountinfo.h"

namespace vantorel::pdh {

const MountsSource::Value* MountsSource::load(SourceCache& cache) {
    std::string& buffer = cache.buffer();
    if (mountinfo_.read(cache.reader(), buffer) != 0) {
        mounts_.reset();
        lastMountinfo_.clear();
        return nullptr;
    }
    std::vector<MountSpace> spaces;
    if (mounts_ && buffer == lastMountinfo_) {
        spaces = std::move(*mounts_);  // same mounts as last time: only statvfs again
    } else {
        lastMountinfo_ = buffer;
        const sources::MountTable table = sources::parseMountinfo(buffer);
        for (const sources::MountEntry* m : dfCandidates(table))
            if (m != nullptr) {
                MountSpace space;
                space.mountPoint = m->mountPoint;
                spaces.push_back(std::move(space));
            }
    }
    std::vector<MountSpace> listed;
    listed.reserve(spaces.size());
    for (MountSpace& space : spaces) {
        FileSystemStats st;
        const int error = cache.reader().fileSystemStats(space.mountPoint, st);
        if (error == ENOTSUP) {
            // A captured tree: its mounts exist, their space was not captured.
            space.measured = false;
            listed.push_back(std::move(space));
            continue;
        }
        if (error != 0) continue;
        if (st.blocks == 0) continue;  // no blocks: df leaves it out
        const sources::FsBlocks blocks{st.blocks, st.freeBlocks, st.availableBlocks, st.blockSize};
        space.usePercent = sources::dfUsePercent(blocks);
        space.usedBytes = st.freeBlocks <= st.blocks ? (st.blocks - st.freeBlocks) * st.blockSize : 0;
        space.availBytes = st.availableBlocks * st.blockSize;
        space.inodes = st.files;
        space.freeInodes = std::min(st.availableFiles, st.files);
        listed.push_back(std::move(space));
    }
    mounts_ = std::move(listed);
    return &*mounts_;
}

}  // namespace vantorel::pdh
