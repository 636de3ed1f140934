#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/drm_fdinfo.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto parsed = parseDrmFdinfo(text);
    const auto complete = parseDrmFdinfo(vantorel::fuzz::completeLines(text));
    require(parsed.has_value() == complete.has_value());
    if (parsed) {
        require(parsed->clientId == complete->clientId && parsed->engines.size() == complete->engines.size());
        for (const auto& e : parsed->engines) require(!e.name.empty() && (!e.capacity || *e.capacity > 0));
    }
    return 0;
}
