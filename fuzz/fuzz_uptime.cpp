#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/uptime.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseUptime(text);
    require(parsed == parseUptime(vantorel::fuzz::completeLines(text)));
    if (parsed) {
        require(parsed->upSeconds >= 0.0);
    }
    return 0;
}
