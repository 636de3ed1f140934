#include "platform/pdh/engine/mount_filter.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantorel::pdh {
namespace {

constexpr std::array<std::string_view, 24> kPseudo{
    "proc", "sysfs", "cgroup", "cgroup2", "devpts", "mqueue", "debugfs", "tracefs",
    "securityfs", "pstore", "bpf", "configfs", "fusectl", "hugetlbfs", "autofs", "binfmt_misc",
    "rpc_pipefs", "nsfs", "efivarfs", "selinuxfs", "ramfs", "overlay_internal", "none", "rootfs"};

constexpr std::array<std::string_view, 14> kNetwork{
    "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph",
    "glusterfs", "lustre", "9p", "coda", "fuse.sshfs", "fuse.s3fs"};

}  // namespace

bool isPseudoFileSystem(std::string_view fsType) {
    return std::find(kPseudo.begin(), kPseudo.end(), fsType) != kPseudo.end();
}

bool isNetworkFileSystem(std::string_view fsType) {
    return std::find(kNetwork.begin(), kNetwork.end(), fsType) != kNetwork.end() ||
           fsType.starts_with("fuse.rclone") || fsType.starts_with("fuse.glusterfs");
}

std::vector<const sources::MountEntry*> dfCandidates(const sources::MountTable& table) {
    std::vector<const sources::MountEntry*> out;
    std::vector<std::pair<unsigned, unsigned>> devices;
    const auto& mounts = table.mounts;
    for (std::size_t i = 0; i < mounts.size(); ++i) {
        const sources::MountEntry& m = mounts[i];
        if (isPseudoFileSystem(m.fsType) || isNetworkFileSystem(m.fsType)) continue;
        // A later mount on the same directory hides this one.
        const bool hidden = std::any_of(mounts.begin() + static_cast<std::ptrdiff_t>(i) + 1, mounts.end(),
                                        [&](const sources::MountEntry& later) { return later.mountPoint == m.mountPoint; });
        if (hidden) continue;
        const std::pair<unsigned, unsigned> dev{m.major, m.minor};
        if (std::find(devices.begin(), devices.end(), dev) != devices.end()) continue;
        devices.push_back(dev);
        out.push_back(&m);
    }
    return out;
}

}  // namespace vantorel::pdh
