#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/cgroup_memory_stat.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const std::string_view whole = vantorel::fuzz::completeLines(text);
    require(parseCgroupMemoryStat(text) == parseCgroupMemoryStat(whole));
    require(parseCgroupMemoryEvents(text) == parseCgroupMemoryEvents(whole));
    return 0;
}
