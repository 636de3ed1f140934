// The DRM clients of processes, from /proc/PID/fdinfo: every open file whose
// fdinfo carries a drm-client-id. A client shared by several fds of a process
// (dup, fork) is one client.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/sources/drm_fdinfo.h"

namespace vantorel::pdh {

// The clients behind the fds of one process ("<proc>proc/PID/"), each once.
// False when its fdinfo directory cannot be listed.
bool readDrmClients(SystemReader& reader, const std::string& pidDir, std::vector<sources::DrmClientUsage>& out);

// A client's resident memory in its device-local region: vram or local memory,
// or, on an integrated GPU that has none, its system memory region.
std::optional<std::uint64_t> deviceLocalBytes(const sources::DrmClientUsage& client);

struct DrmProcess {
    std::int32_t pid = 0;
    std::string comm;
    std::vector<std::string> engines;  // sorted, each once
};

// Every process with a DRM client that reports engine time.
std::vector<DrmProcess> listDrmProcesses(SystemReader& reader, const std::string& procRoot);

}  // namespace vantorel::pdh
