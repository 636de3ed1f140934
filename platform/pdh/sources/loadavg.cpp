#include "platform/pdh/sources/loadavg.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::optional<Loadavg> parseLoadavg(std::string_view text) {
    scan::Lines lines(text);
    std::string_view rest;
    if (!lines.next(rest)) {
        return std::nullopt;
    }
    const auto load1 = scan::toDouble(scan::nextToken(rest));
    const auto load5 = scan::toDouble(scan::nextToken(rest));
    const auto load15 = scan::toDouble(scan::nextToken(rest));
    std::string_view entities = scan::nextToken(rest);
    const OptU64 running = scan::toU64(scan::nextField(entities, '/'));
    const OptU64 total = scan::toU64(entities);
    const OptU64 lastPid = scan::toU64(scan::nextToken(rest));
    if (!load1 || !load5 || !load15 || !running || !total || !lastPid) {
        return std::nullopt;
    }
    return Loadavg{*load1, *load5, *load15, *running, *total, *lastPid};
}

}  // namespace vantorel::pdh::sources
