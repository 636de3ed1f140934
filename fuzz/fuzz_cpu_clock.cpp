#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/cpufreq.h"
#include "platform/pdh/sources/cpuinfo.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    require(parseKilohertz(text) == parseKilohertz(vantorel::fuzz::completeLines(text)));
    require(parseCpuinfoClocks(text) == parseCpuinfoClocks(vantorel::fuzz::completeLines(text)));
    return 0;
}
