// /proc/self/mountinfo: one line per mount of this process's namespace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::pdh::sources {

// Text fields come back unescaped (the kernel writes space, tab, newline and
// backslash as \040 \011 \012 \134).
struct MountEntry {
    std::uint64_t mountId = 0;
    std::uint64_t parentId = 0;
    unsigned major = 0;
    unsigned minor = 0;
    std::string root;          // the mounted directory within its file system
    std::string mountPoint;
    std::string mountOptions;  // per mount: "rw,relatime"
    std::string fsType;        // "ext4", "fuse.sshfs"
    std::string source;        // "/dev/vda1", "none"

    bool operator==(const MountEntry&) const = default;
};

struct MountTable {
    std::vector<MountEntry> mounts;  // in file order
    unsigned malformedLines = 0;

    bool operator==(const MountTable&) const = default;
};

// Never fails: an empty table is a valid answer.
MountTable parseMountinfo(std::string_view text);

// Decodes the kernel's \ooo octal escapes. A backslash not followed by three
// octal digits, or one that would decode to NUL or beyond a byte, stays as it is.
std::string unescapeOctal(std::string_view text);

}  // namespace vantorel::pdh::sources
