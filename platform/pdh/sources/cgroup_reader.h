// Finds the cgroup v2 hierarchy and lists its groups.
//
// Roots: the mount is looked up in <proc root>proc/self/mountinfo, and its mount
// point, an absolute path of the live machine, is read under the sys root: the
// mount at /sys/fs/cgroup/unified is "<sys root>sys/fs/cgroup/unified", so a
// fixture tree keeps the groups where the machine has them.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/source_cache.h"

namespace vantorel::pdh {

struct CgroupHierarchy {
    std::string directory;       // the root group's directory, without a trailing '/'
    bool wholeHierarchy = true;  // its root group is the machine's: it has counted since boot
};

// Mounts seldom change under a running monitor: once found, the hierarchy is
// kept for the query's life; until then mountinfo is read again on each use.
class CgroupHierarchySource {
public:
    using Value = CgroupHierarchy;

    explicit CgroupHierarchySource(const Roots& roots)
        : sysRoot_(roots.sys), mountinfo_(roots.proc + "proc/self/mountinfo") {}
    // Null when there is no cgroup v2 mount (or mountinfo cannot be read).
    const Value* load(SourceCache& cache);

private:
    std::string sysRoot_;
    KeptFile mountinfo_;
    std::optional<Value> found_;
};

// Bounds of a listing: the walk never goes deeper than a path the kernel
// could open (PATH_MAX, at least two characters a level), nor lists more groups
// than a monitor can show.
inline constexpr std::size_t kMaxGroupDepth = 2048;
inline constexpr std::size_t kMaxGroups = 65536;

// Every group under `directory` by its path from the hierarchy's root ("/",
// "/a", "/a/b", ...), parents before children, siblings in byte order. A
// directory that cannot be read is skipped with what lies below it; symlinks
// are never followed.
std::vector<std::string> listCgroups(SystemReader& reader, const std::string& directory);

// The directory of the group at `path` (a valid group path).
std::string cgroupDirectory(const CgroupHierarchy& hierarchy, const std::string& path);

}  // namespace vantorel::pdh
