#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/interrupts.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseInterrupts(text);
    require(parsed == parseInterrupts(vantorel::fuzz::completeLines(text)));
    if (parsed) require(!parsed->cpus.empty() && parsed->cpus.size() == parsed->totals.size());
    return 0;
}
