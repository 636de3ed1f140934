#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/file_nr.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    require(parseFileNr(text) == parseFileNr(vantorel::fuzz::completeLines(text)));
    return 0;
}
