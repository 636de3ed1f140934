#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/meminfo.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseMeminfo(text);
    require(parsed == parseMeminfo(vantorel::fuzz::completeLines(text)));
    if (parsed && parsed->memTotal) {
        require(*parsed->memTotal % 1024 == 0);  // kB times 1024, never a raw number
    }
    return 0;
}
