// /proc/PID/fdinfo/FD of a DRM file: the kernel's DRM client usage stats.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pdh/sources/parse_result.h"

namespace vantorel::pdh::sources {

struct DrmEngineUsage {
    std::string name;                      // "render", "video-enhance", "gfx"
    std::uint64_t busyNs = 0;              // drm-engine-NAME
    std::optional<std::uint64_t> capacity; // drm-engine-capacity-NAME: engines of that class
};

struct DrmRegionUsage {
    std::string name;     // "vram", "system0"
    OptU64 residentBytes; // drm-resident-NAME
    OptU64 memoryBytes;   // drm-memory-NAME (the older key)
};

struct DrmClientUsage {
    std::uint64_t clientId = 0;  // drm-client-id
    std::string pdev;            // drm-pdev: client ids may be unique per device only
    std::string driver;          // drm-driver
    std::vector<DrmEngineUsage> engines;
    std::vector<DrmRegionUsage> regions;
};

// Null when the text has no drm-client-id: not a DRM file, or a kernel without
// usage stats. Memory values carry their unit ("KiB", "MiB", none for bytes).
std::optional<DrmClientUsage> parseDrmFdinfo(std::string_view text);

}  // namespace vantorel::pdh::sources
