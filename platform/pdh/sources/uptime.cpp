#include "platform/pdh/sources/uptime.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::optional<Uptime> parseUptime(std::string_view text) {
    scan::Lines lines(text);
    std::string_view rest;
    if (!lines.next(rest)) {
        return std::nullopt;
    }
    const std::optional<double> up = scan::toDouble(scan::nextToken(rest));
    if (!up || *up < 0.0) {
        return std::nullopt;
    }
    Uptime out;
    out.upSeconds = *up;
    const std::optional<double> idle = scan::toDouble(scan::nextToken(rest));
    if (idle && *idle >= 0.0) {
        out.idleSeconds = idle;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
