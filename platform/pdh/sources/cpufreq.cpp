#include "platform/pdh/sources/cpufreq.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

OptU64 parseKilohertz(std::string_view text) {
    scan::Lines lines(text);
    std::string_view line;
    if (!lines.next(line)) {
        return std::nullopt;
    }
    return scan::toU64(scan::trim(line));
}

}  // namespace vantorel::pdh::sources
