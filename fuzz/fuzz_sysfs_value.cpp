#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/sysfs_value.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const std::string_view complete = vantorel::fuzz::completeLines(text);
    require(parseSysfsInteger(text) == parseSysfsInteger(complete));
    require(parseSysfsWord(text) == parseSysfsWord(complete));
    require(parseStarredClockMhz(text) == parseStarredClockMhz(complete));
    return 0;
}
