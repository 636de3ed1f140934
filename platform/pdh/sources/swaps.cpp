#include "platform/pdh/sources/swaps.h"

#include "platform/pdh/sources/mountinfo.h"
#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

std::optional<SwapArea> parseArea(std::string_view rest) {
    const std::string_view path = scan::nextToken(rest);
    const std::string_view type = scan::nextToken(rest);
    const OptU64 sizeKib = scan::toU64(scan::nextToken(rest));   // KiB
    const OptU64 usedKib = scan::toU64(scan::nextToken(rest));
    const auto priority = scan::toNumber<std::int32_t>(scan::nextToken(rest));
    const OptU64 size = scan::kibToBytes(sizeKib);
    const OptU64 used = scan::kibToBytes(usedKib);
    if (path.empty() || type.empty() || !size || !used || !priority || !scan::nextToken(rest).empty()) {
        return std::nullopt;
    }
    return SwapArea{unescapeOctal(path), std::string(type), *size, *used, *priority};
}

}  // namespace

std::optional<SwapTable> parseSwaps(std::string_view text) {
    scan::Lines lines(text);
    std::string_view heading;
    if (!lines.next(heading) || scan::nextToken(heading) != "Filename") {
        return std::nullopt;
    }
    SwapTable out;
    std::string_view line;
    while (lines.next(line)) {
        if (scan::trim(line).empty()) {
            continue;
        }
        if (std::optional<SwapArea> area = parseArea(line)) {
            out.areas.push_back(std::move(*area));
        } else {
            ++out.malformedLines;
        }
    }
    return out;
}

}  // namespace vantorel::pdh::sources
