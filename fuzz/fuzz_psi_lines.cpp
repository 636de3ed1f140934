#include <cmath>

#include "fuzz/fuzz_support.h"
#include "platform/pdh/sources/psi_lines.h"

using namespace vantorel::pdh::sources;
using vantorel::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = vantorel::fuzz::asText(data, size);
    const auto psi = parsePsiLines(text);
    require(psi == parsePsiLines(vantorel::fuzz::completeLines(text)));
    if (psi) {
        for (const auto& line : {psi->some, psi->full})
            if (line) require(std::isfinite(line->avg10) && line->avg10 >= 0.0 && line->avg300 >= 0.0);
    }
    return 0;
}
