#include "platform/pdh/sources/interrupts.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::optional<InterruptColumns> parseInterrupts(std::string_view text) {
    scan::Lines lines(text);
    std::string_view heading;
    if (!lines.next(heading)) {
        return std::nullopt;
    }
    InterruptColumns out;
    for (std::string_view token = scan::nextToken(heading); !token.empty(); token = scan::nextToken(heading)) {
        const auto id = token.starts_with("CPU") ? scan::toNumber<unsigned>(token.substr(3)) : std::nullopt;
        if (!id) {
            return std::nullopt;
        }
        out.cpus.push_back(*id);
    }
    if (out.cpus.empty()) {
        return std::nullopt;
    }
    out.totals.assign(out.cpus.size(), 0);
    std::vector<std::uint64_t> counts(out.cpus.size());
    std::string_view line;
    while (lines.next(line)) {
        const std::string_view label = scan::nextToken(line);
        if (label.empty()) {
            continue;
        }
        if (!label.ends_with(':')) {
            ++out.malformedLines;
            continue;
        }
        // The counts stop where the chip and action names begin.
        std::size_t n = 0;
        for (; n < counts.size(); ++n) {
            std::string_view probe = line;
            const auto value = scan::toU64(scan::nextToken(probe));
            if (!value) {
                break;
            }
            counts[n] = *value;
            line = probe;
        }
        if (n < counts.size()) {
            continue;
        }
        for (std::size_t i = 0; i < n; ++i) {
            out.totals[i] += counts[i];
        }
    }
    return out;
}

}  // namespace vantorel::pdh::sources
