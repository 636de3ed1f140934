#include "platform/pdh/sources/cgroup_hierarchy.h"

namespace vantorel::pdh::sources {

std::optional<Cgroup2Mount> findCgroup2Mount(const MountTable& mounts) {
    const MountEntry* first = nullptr;
    for (const MountEntry& m : mounts.mounts) {
        if (m.fsType != "cgroup2" || m.mountPoint.empty() || m.mountPoint.front() != '/') {
            continue;
        }
        if (m.root == "/") {
            return Cgroup2Mount{m.mountPoint, true};
        }
        if (first == nullptr) {
            first = &m;
        }
    }
    if (first == nullptr) {
        return std::nullopt;
    }
    return Cgroup2Mount{first->mountPoint, false};
}

bool isGroupPath(std::string_view path) {
    if (path == "/") {
        return true;
    }
    if (path.empty() || path.front() != '/' || path.find('\0') != std::string_view::npos) {
        return false;
    }
    std::string_view rest = path.substr(1);
    for (;;) {
        const std::size_t slash = rest.find('/');
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        rest.remove_prefix(slash + 1);
    }
}

}  // namespace vantorel::pdh::sources
