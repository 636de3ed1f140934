#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/swaps.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseSwaps(text);
    require(parsed == parseSwaps(vantorel::fuzz::completeLines(text)));
    if (parsed) {
        for (const auto& area : parsed->areas) require(!area.path.empty() && area.sizeBytes % 1024 == 0);
    }
    return 0;
}
