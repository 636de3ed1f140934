#include "platform/pdh/sources/cgroup_memory_stat.h"

#include "platform/pdh/sources/cgroup_flat_keyed.h"

namespace vantorel::pdh::sources {

namespace {

constexpr scan::FlatKey<CgroupMemoryStat> kStatFields[] = {
    {"anon", &CgroupMemoryStat::anonBytes},
    {"file", &CgroupMemoryStat::fileBytes},
};

constexpr scan::FlatKey<CgroupMemoryEvents> kEventFields[] = {
    {"oom_kill", &CgroupMemoryEvents::oomKill},
};

}  // namespace

std::optional<CgroupMemoryStat> parseCgroupMemoryStat(std::string_view text) {
    return scan::parseFlatKeyed(text, kStatFields);
}

std::optional<CgroupMemoryEvents> parseCgroupMemoryEvents(std::string_view text) {
    return scan::parseFlatKeyed(text, kEventFields);
}

}  // namespace vantorel::pdh::sources
