#include "platform/pdh/sources/drm_clients_reader.h"

#include <algorithm>

#include "platform/pdh/sources/pid_stat.h"
#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {

bool readDrmClients(SystemReader& reader, const std::string& pidDir, std::vector<sources::DrmClientUsage>& out) {
    out.clear();
    std::vector<std::string> fds;
    const std::string dir = pidDir + "fdinfo/";
    if (reader.listDirectory(dir, fds) != 0) return false;
    std::string text;
    for (const std::string& fd : fds) {
        if (!sources::parsePid(fd) && fd != "0") continue;
        if (reader.readFile(dir + fd, text) != 0) continue;  // closed since the listing
        std::optional<sources::DrmClientUsage> client = sources::parseDrmFdinfo(text);
        if (!client) continue;
        const bool seen = std::any_of(out.begin(), out.end(), [&](const sources::DrmClientUsage& c) {
            return c.clientId == client->clientId && c.pdev == client->pdev;
        });
        if (!seen) out.push_back(std::move(*client));
    }
    return true;
}

std::optional<std::uint64_t> deviceLocalBytes(const sources::DrmClientUsage& client) {
    const auto sum = [&](auto&& isRegion) -> std::optional<std::uint64_t> {
        std::optional<std::uint64_t> total;
        for (const sources::DrmRegionUsage& r : client.regions) {
            if (!isRegion(r.name)) continue;
            const auto bytes = r.residentBytes ? r.residentBytes : r.memoryBytes;
            if (bytes) total = total.value_or(0) + *bytes;
        }
        return total;
    };
    if (auto local = sum([](const std::string& n) { return n.starts_with("vram") || n.starts_with("local"); }))
        return local;
    return sum([](const std::string& n) { return n.starts_with("system"); });
}

std::vector<DrmProcess> listDrmProcesses(SystemReader& reader, const std::string& procRoot) {
    std::vector<std::string> names;
    const std::string procDir = procRoot + "proc/";
    if (reader.listDirectory(procDir, names) != 0) return {};
    std::vector<DrmProcess> out;
    std::vector<sources::DrmClientUsage> clients;
    std::string text;
    for (const std::int32_t pid : sources::pidsFromEntries(names)) {
        const std::string pidDir = procDir + std::to_string(pid) + "/";
        // Most processes hold no DRM file and many fdinfo directories are not
        // ours to read: cheap refusals come first.
        if (!readDrmClients(reader, pidDir, clients) || clients.empty()) continue;
        if (reader.readFile(pidDir + "stat", text) != 0) continue;
        const std::optional<sources::PidStat> st = sources::parsePidStat(text);
        if (!st || st->pid != pid) continue;
        DrmProcess p{pid, st->comm, {}};
        for (const auto& c : clients)
            for (const auto& e : c.engines) p.engines.push_back(e.name);
        std::sort(p.engines.begin(), p.engines.end());
        p.engines.erase(std::unique(p.engines.begin(), p.engines.end()), p.engines.end());
        if (!p.engines.empty()) out.push_back(std::move(p));
    }
    return out;
}

}  // namespace vantorel::pdh
