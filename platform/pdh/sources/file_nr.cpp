#include "platform/pdh/sources/file_nr.h"

#include <array>

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::optional<FileNr> parseFileNr(std::string_view text) {
    scan::Lines lines(text);
    std::string_view rest;
    std::array<std::uint64_t, 3> v{};
    if (!lines.next(rest) || !scan::readNumbers(rest, v) || !scan::nextToken(rest).empty()) {
        return std::nullopt;
    }
    return FileNr{v[0], v[1], v[2]};
}

}  // namespace vantorel::pdh::sources
