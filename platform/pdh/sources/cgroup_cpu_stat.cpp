#include "platform/pdh/sources/cgroup_cpu_stat.h"

#include "platform/pdh/sources/cgroup_flat_keyed.h"

namespace vantorel::pdh::sources {

namespace {

constexpr scan::FlatKey<CgroupCpuStat> kFields[] = {
    {"usage_usec", &CgroupCpuStat::usageUsec},
    {"user_usec", &CgroupCpuStat::userUsec},
    {"system_usec", &CgroupCpuStat::systemUsec},
    {"throttled_usec", &CgroupCpuStat::throttledUsec},
};

}  // namespace

std::optional<CgroupCpuStat> parseCgroupCpuStat(std::string_view text) { return scan::parseFlatKeyed(text, kFields); }

}  // namespace vantorel::pdh::sources
