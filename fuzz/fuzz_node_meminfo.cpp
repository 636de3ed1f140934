#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/node_meminfo.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    require(parseNodeMeminfo(text) == parseNodeMeminfo(vantorel::fuzz::completeLines(text)));
    return 0;
}
