#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/cgroup_cpu_stat.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    require(parseCgroupCpuStat(text) == parseCgroupCpuStat(vantorel::fuzz::completeLines(text)));
    return 0;
}
