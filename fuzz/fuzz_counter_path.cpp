#include "fuzz/fuzz_support.h"
#include "platform/pdh/engine/counter_path.h"
#include "platform/pdh/enumeration.h"

using vantorel::fuzz::require;
using vantorel::pdh::ParsedPath;

// Whatever the parser accepts, the path built back from its pieces must parse to
// the same pieces: the browser builds paths that way.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    ParsedPath parsed;
    if (vantorel::pdh::parseCounterPath(text, parsed) != 0) {
        require(parsed.object.empty() && parsed.instance.empty() && parsed.counter.empty());
        return 0;
    }
    const std::string rebuilt = vantorel::pdh::makeCounterPath(parsed.object, parsed.instance,
                                                               parsed.counter, parsed.hasInstance);
    ParsedPath again;
    require(vantorel::pdh::parseCounterPath(rebuilt, again) == 0);
    require(again.object == parsed.object && again.instance == parsed.instance &&
            again.hasInstance == parsed.hasInstance && again.counter == parsed.counter);
    return 0;
}
