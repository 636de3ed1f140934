#include "platform/pdh/sources/psi_lines.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

// "key=value" where key must be the expected one.
std::string_view valueOf(std::string_view token, std::string_view key) {
    if (token.size() <= key.size() || !token.starts_with(key) || token[key.size()] != '=') {
        return {};
    }
    return token.substr(key.size() + 1);
}

std::optional<PsiLine> parseLine(std::string_view rest) {
    const std::optional<double> avg10 = scan::toDouble(valueOf(scan::nextToken(rest), "avg10"));
    const std::optional<double> avg60 = scan::toDouble(valueOf(scan::nextToken(rest), "avg60"));
    const std::optional<double> avg300 = scan::toDouble(valueOf(scan::nextToken(rest), "avg300"));
    const OptU64 total = scan::toU64(valueOf(scan::nextToken(rest), "total"));
    if (!avg10 || !avg60 || !avg300 || !total || !scan::nextToken(rest).empty()) {
        return std::nullopt;
    }
    if (*avg10 < 0.0 || *avg60 < 0.0 || *avg300 < 0.0) {
        return std::nullopt;
    }
    return PsiLine{*avg10, *avg60, *avg300, *total};
}

}  // namespace

std::optional<PsiLines> parsePsiLines(std::string_view text) {
    PsiLines out;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty()) {
            continue;
        }
        std::string_view rest = line;
        const std::string_view kind = scan::nextToken(rest);
        std::optional<PsiLine>* slot = kind == "some" ? &out.some : kind == "full" ? &out.full : nullptr;
        std::optional<PsiLine> parsed = slot != nullptr ? parseLine(rest) : std::nullopt;
        if (!parsed || slot->has_value()) {
            ++out.malformedLines;  // unknown, broken, or a second line of one kind
            continue;
        }
        *slot = *parsed;
    }
    if (!out.some && !out.full) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
