#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/pressure.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parsePressure(text);
    require(parsed == parsePressure(vantorel::fuzz::completeLines(text)));
    if (parsed) {
        require(parsed->some || parsed->full);
        for (const auto& line : {parsed->some, parsed->full}) {
            if (line) require(line->avg10 <= 100000099 && line->avg60 <= 100000099 && line->avg300 <= 100000099);
        }
    }
    return 0;
}
