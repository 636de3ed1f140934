// Reads each cpu's clock once per collect: cpufreq where the machine has it,
// else the "cpu MHz" of /proc/cpuinfo (read only then).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/source_cache.h"
#include "platform/pdh/sources/parse_result.h"

namespace vantorel::pdh {

struct CpuClock {
    unsigned cpu = 0;
    sources::OptU64 currentKhz;
    sources::OptU64 maximumKhz;  // cpufreq only
};

class CpuClocksSource {
public:
    using Value = std::vector<CpuClock>;

    explicit CpuClocksSource(const Roots& roots)
        : cpuDir_(roots.sys + "sys/devices/system/cpu/"), cpuinfo_(roots.proc + "proc/cpuinfo") {}
    // The cpus of /proc/stat; null when it cannot be read.
    const Value* load(SourceCache& cache);

private:
    struct Files {
        KeptFile current;
        KeptFile maximum;
    };
    Files& filesOf(unsigned cpu);

    std::string cpuDir_;
    KeptFile cpuinfo_;
    std::map<unsigned, Files> files_;
    Value clocks_;
};

}  // namespace vantorel::pdh
