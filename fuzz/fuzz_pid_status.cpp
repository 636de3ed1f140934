#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/pid_status.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parsePidStatus(text);
    require(parsed == parsePidStatus(vantorel::fuzz::completeLines(text)));
    if (parsed && parsed->name) {
        require(parsed->name->size() <= text.size());
    }
    require(unescapeStatusName(text).size() <= text.size());
    return 0;
}
