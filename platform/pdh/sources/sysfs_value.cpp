#include "platform/pdh/sources/sysfs_value.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::optional<std::int64_t> parseSysfsInteger(std::string_view text) {
    scan::Lines lines(text);
    std::string_view line;
    if (!lines.next(line)) return std::nullopt;
    return scan::toNumber<std::int64_t>(scan::trim(line));
}

std::string_view parseSysfsWord(std::string_view text) {
    scan::Lines lines(text);
    std::string_view line;
    if (!lines.next(line)) return {};
    return scan::trim(line);
}

std::optional<std::uint64_t> parseStarredClockMhz(std::string_view text) {
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        // "1: 1800Mhz *": level, clock with its unit, the mark.
        std::string_view rest = line;
        const std::string_view level = scan::nextToken(rest);
        std::string_view clock = scan::nextToken(rest);
        const std::string_view mark = scan::nextToken(rest);
        if (mark != "*" || !scan::nextToken(rest).empty()) continue;
        if (level.size() < 2 || level.back() != ':') return std::nullopt;
        if (clock.size() > 3 && (clock.ends_with("Mhz") || clock.ends_with("MHz"))) {
            clock.remove_suffix(3);
            return scan::toU64(clock);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace vantorel::pdh::sources
