#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/loadavg.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseLoadavg(text);
    require(parsed == parseLoadavg(vantorel::fuzz::completeLines(text)));
    if (parsed) {
        require(parsed->load1 == parsed->load1);  // never NaN
    }
    return 0;
}
