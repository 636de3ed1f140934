#include "platform/pdh/sources/cpu_clocks_reader.h"

#include <algorithm>

#include "platform/pdh/sources/cpufreq.h"
#include "platform/pdh/sources/cpuinfo.h"
#include "platform/pdh/sources/proc_stat_reader.h"

namespace vantorel::pdh {

CpuClocksSource::Files& CpuClocksSource::filesOf(unsigned cpu) {
    const auto it = files_.find(cpu);
    if (it != files_.end()) return it->second;
    const std::string dir = cpuDir_ + "cpu" + std::to_string(cpu) + "/cpufreq/";
    return files_.emplace(cpu, Files{KeptFile(dir + "scaling_cur_freq"), KeptFile(dir + "cpuinfo_max_freq")})
        .first->second;
}

const CpuClocksSource::Value* CpuClocksSource::load(SourceCache& cache) {
    const sources::ProcStat* stat = cache.get<ProcStatSource>();
    if (stat == nullptr) return nullptr;
    SystemReader& reader = cache.reader();
    std::string& buffer = cache.buffer();
    clocks_.clear();
    bool lacking = false;
    for (const sources::CpuLine& line : stat->cpus) {
        Files& files = filesOf(line.id);
        CpuClock clock{line.id, {}, {}};
        if (files.current.read(reader, buffer) == 0) clock.currentKhz = sources::parseKilohertz(buffer);
        if (files.maximum.read(reader, buffer) == 0) clock.maximumKhz = sources::parseKilohertz(buffer);
        lacking = lacking || !clock.currentKhz;
        clocks_.push_back(clock);
    }
    if (lacking && cpuinfo_.read(reader, buffer) == 0) {
        const std::vector<sources::CpuClock> fromCpuinfo = sources::parseCpuinfoClocks(buffer);
        for (CpuClock& clock : clocks_) {
            if (clock.currentKhz) continue;
            const auto it = std::find_if(fromCpuinfo.begin(), fromCpuinfo.end(),
                                         [&](const sources::CpuClock& c) { return c.cpu == clock.cpu; });
            if (it != fromCpuinfo.end()) clock.currentKhz = it->khz;
        }
    }
    return &clocks_;
}

}  // namespace vantorel::pdh
