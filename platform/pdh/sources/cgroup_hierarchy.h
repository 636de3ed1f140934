// Where the cgroup v2 hierarchy is, and which instance names are group paths.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/pdh/sources/mountinfo.h"

namespace vantorel::pdh::sources {

struct Cgroup2Mount {
    std::string mountPoint;     // "/sys/fs/cgroup", or "/sys/fs/cgroup/unified" on a hybrid machine
    bool wholeHierarchy = true;  // the mount shows the root group itself (not a container's part)
};

// The cgroup2 mount to read: the first that shows the whole hierarchy, else
// the first at all. std::nullopt when there is none (no cgroup v2).
std::optional<Cgroup2Mount> findCgroup2Mount(const MountTable& mounts);

// An instance name that names a group: "/" or "/a/b", with no empty, "." or
// ".." component and no NUL, so it can never leave the hierarchy.
bool isGroupPath(std::string_view path);

}  // namespace vantorel::pdh::sources
