#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/proc_stat.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseProcStat(text);
    // A cut last line is never used.
    require(parsed == parseProcStat(vantorel::fuzz::completeLines(text)));
    if (parsed) {
        require(parsed->total.fields >= 4 && parsed->total.fields <= 10);
        for (const CpuLine& cpu : parsed->cpus) {
            require(cpu.times.fields >= 4 && cpu.times.fields <= 10);
        }
    }
    return 0;
}
