#include "platform/pdh/sources/pressure.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

// "28.07" as 2807, exactly: the kernel prints two decimals.
OptU64 hundredths(std::string_view text) {
    const std::size_t dot = text.find('.');
    const OptU64 whole = scan::toU64(text.substr(0, dot));
    if (!whole || *whole > 1000000) {
        return std::nullopt;
    }
    if (dot == std::string_view::npos) {
        return *whole * 100;
    }
    const std::string_view fraction = text.substr(dot + 1);
    const OptU64 digits = scan::toU64(fraction);
    if (!digits || fraction.size() > 2) {
        return std::nullopt;
    }
    return *whole * 100 + (fraction.size() == 1 ? *digits * 10 : *digits);
}

std::optional<PressureLine> parseLine(std::string_view rest) {
    OptU64 avg10;
    OptU64 avg60;
    OptU64 avg300;
    OptU64 total;
    for (std::string_view token = scan::nextToken(rest); !token.empty(); token = scan::nextToken(rest)) {
        std::string_view value = token;
        const std::string_view key = scan::nextField(value, '=');
        if (key == "avg10") {
            avg10 = hundredths(value);
        } else if (key == "avg60") {
            avg60 = hundredths(value);
        } else if (key == "avg300") {
            avg300 = hundredths(value);
        } else if (key == "total") {
            total = scan::toU64(value);
        }
    }
    if (!avg10 || !avg60 || !avg300 || !total) {
        return std::nullopt;
    }
    return PressureLine{*avg10, *avg60, *avg300, *total};
}

}  // namespace

std::optional<Pressure> parsePressure(std::string_view text) {
    Pressure out;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        const std::string_view kind = scan::nextToken(line);
        std::optional<PressureLine>& slot = kind == "some" ? out.some : out.full;
        if ((kind == "some" || kind == "full") && !slot) {
            slot = parseLine(line);
        }
    }
    if (!out.some && !out.full) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
