// The machine-wide kernel files a query reads: each at most once per collect,
// and only when a counter of the query needs it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/sources/diskstats.h"
#include "platform/pdh/sources/meminfo.h"
#include "platform/pdh/sources/mountinfo.h"
#include "platform/pdh/sources/net_dev.h"
#include "platform/pdh/sources/proc_stat.h"
#include "platform/pdh/sources/uptime.h"
#include "platform/pdh/sources/vmstat.h"

namespace vantorel::pdh {

// Where the kernel's trees are: "<proc>proc/stat", "<sys>sys/block". Each root
// ends in '/'.
struct Roots {
    std::string proc = "/";
    std::string sys = "/";
    static std::string normalise(std::string root);
};

struct MountSpace {
    std::string mountPoint;
    std::uint64_t usedBytes = 0;
    std::uint64_t availBytes = 0;
    std::optional<unsigned> usePercent;  // df's Use%
};

struct NetSpeed {
    std::string interface;
    KeptFile file;
    std::optional<std::uint32_t> mbits;
};

class MachineSources {
public:
    MachineSources(const Roots& roots, SystemReader& reader);

    // Reads what `needs` names; results of sources not needed are left as they
    // were and must not be used.
    void collect(SourceSet needs, const std::vector<std::string>& speedInterfaces);

    std::optional<sources::ProcStat> stat;
    std::optional<sources::Meminfo> meminfo;
    std::optional<sources::Vmstat> vmstat;
    std::optional<sources::Uptime> uptime;
    std::optional<sources::NetDevTable> netDev;
    std::optional<sources::DiskstatsTable> diskstats;
    std::vector<std::string> wholeDisks;  // of /sys/block, sorted
    bool wholeDisksKnown = false;
    std::optional<std::vector<MountSpace>> mounts;
    std::vector<NetSpeed> speeds;

    const NetSpeed* speedOf(std::string_view interface) const;

private:
    void readDisks();
    void readMounts();
    void readSpeeds(const std::vector<std::string>& interfaces);

    Roots roots_;
    SystemReader& reader_;
    std::string buffer_;
    KeptFile statFile_, meminfoFile_, vmstatFile_, uptimeFile_, netDevFile_, diskstatsFile_, mountinfoFile_;
    std::vector<std::string> diskNamesSeen_;  // diskstats names when /sys/block was last listed
    std::vector<std::string> listing_;
    std::string lastMountinfo_;
};

}  // namespace vantorel::pdh
