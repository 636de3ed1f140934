#include "platform/pdh/sources/cgroup_values.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

// The single complete line of a one-value file.
std::optional<std::string_view> onlyLine(std::string_view text) {
    scan::Lines lines(text);
    std::string_view line;
    std::string_view extra;
    if (!lines.next(line) || lines.next(extra)) {
        return std::nullopt;
    }
    return line;
}

}  // namespace

OptU64 parseCgroupNumber(std::string_view text) {
    const std::optional<std::string_view> line = onlyLine(text);
    return line ? scan::toU64(*line) : std::nullopt;
}

std::optional<CgroupLimit> parseCgroupLimit(std::string_view text) {
    const std::optional<std::string_view> line = onlyLine(text);
    if (!line) {
        return std::nullopt;
    }
    if (*line == "max") {
        return CgroupLimit{true, 0};
    }
    const OptU64 bytes = scan::toU64(*line);
    if (!bytes) {
        return std::nullopt;
    }
    return CgroupLimit{false, *bytes};
}

OptU64 countCgroupIds(std::string_view text) {
    if (!text.empty() && text.back() != '\n') {
        return std::nullopt;  // cut short: the count would be too small
    }
    std::uint64_t count = 0;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (!scan::toNumber<std::uint32_t>(line)) {
            return std::nullopt;
        }
        ++count;
    }
    return count;
}

}  // namespace vantorel::pdh::sources
