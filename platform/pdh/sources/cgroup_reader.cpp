#include "platform/pdh/sources/cgroup_reader.h"

#include <algorithm>
#include <climits>
#include <functional>

#include "platform/pdh/sources/cgroup_hierarchy.h"
#include "platform/pdh/sources/mountinfo.h"

namespace vantorel::pdh {

const CgroupHierarchySource::Value* CgroupHierarchySource::load(SourceCache& cache) {
    if (found_) return &*found_;
    std::string& buffer = cache.buffer();
    if (mountinfo_.read(cache.reader(), buffer) != 0) return nullptr;
    const std::optional<sources::Cgroup2Mount> mount = sources::findCgroup2Mount(sources::parseMountinfo(buffer));
    if (!mount) return nullptr;
    std::string directory = sysRoot_ + mount->mountPoint.substr(1);
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    found_ = CgroupHierarchy{std::move(directory), mount->wholeHierarchy};
    mountinfo_.close();
    return &*found_;
}

std::string cgroupDirectory(const CgroupHierarchy& hierarchy, const std::string& path) {
    return path == "/" ? hierarchy.directory : hierarchy.directory + path;
}

std::vector<std::string> listCgroups(SystemReader& reader, const std::string& directory) {
    struct Pending {
        std::string path;
        std::size_t depth;
    };
    std::vector<std::string> out;
    std::vector<Pending> pending{{"/", 0}};
    std::vector<std::string> names;
    while (!pending.empty() && out.size() < kMaxGroups) {
        Pending group = std::move(pending.back());
        pending.pop_back();
        const std::string dir = group.path == "/" ? directory : directory + group.path;
        std::uint64_t inode = 0;
        if (reader.inspectDirectory(dir, inode, &names) != 0) continue;  // gone, or not ours to read
        out.push_back(group.path);
        if (group.depth >= kMaxGroupDepth) continue;
        // Pushed in reverse so that siblings come off the stack in order.
        std::sort(names.begin(), names.end(), std::greater<>());
        const std::string prefix = group.path == "/" ? std::string() : group.path;
        for (const std::string& name : names) {
            if (dir.size() + 1 + name.size() >= PATH_MAX) continue;
            pending.push_back(Pending{prefix + "/" + name, group.depth + 1});
        }
    }
    return out;
}

}  // namespace vantorel::pdh
