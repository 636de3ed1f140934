// The shape /proc/net/snmp and /proc/net/netstat share: for each section a
// header line of field names and, right after it, a line of values with the same
// prefix ("Tcp: ActiveOpens ..." then "Tcp: 15 ..."). Internal to this directory.
#pragma once

#include "platform/pdh/sources/scan.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources::scan {

// One row of a section catalogue: where the named field of a section goes.
template <typename Struct>
struct SectionField {
    std::string_view section;
    std::string_view name;
    OptU64 Struct::*member;
};

namespace detail {

template <typename Struct, std::size_t N>
bool knowsSection(const SectionField<Struct> (&table)[N], std::string_view section) {
    for (const SectionField<Struct>& row : table) {
        if (row.section == section) {
            return true;
        }
    }
    return false;
}

inline std::size_t tokenCount(std::string_view s) {
    std::size_t n = 0;
    while (!nextToken(s).empty()) {
        ++n;
    }
    return n;
}

}  // namespace detail

// Fills the table's fields from every header/value pair, each field found by its
// name in the header. A pair whose lines hold different numbers of tokens cannot
// say which value belongs to which name: the whole section is left without
// values and counted in `malformedSections`. A value that is not an unsigned
// number leaves its own field alone without a value. nullopt when the text holds
// no pair of a section the table knows (it is not that file).
template <typename Struct, std::size_t N>
std::optional<Struct> parseSectionPairs(std::string_view text, const SectionField<Struct> (&table)[N]) {
    Struct out;
    bool known = false;
    bool haveHeader = false;
    std::string_view headerSection;
    std::string_view headerNames;
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view section;
        std::string_view rest;
        if (!splitKeyValue(line, section, rest)) {
            haveHeader = false;
            continue;
        }
        if (!haveHeader || section != headerSection) {
            headerSection = section;
            headerNames = rest;
            haveHeader = true;
            continue;
        }
        haveHeader = false;
        if (!detail::knowsSection(table, section)) {
            continue;
        }
        known = true;
        if (detail::tokenCount(headerNames) != detail::tokenCount(rest)) {
            ++out.malformedSections;
            continue;
        }
        std::string_view names = headerNames;
        for (std::string_view name = nextToken(names); !name.empty(); name = nextToken(names)) {
            const std::string_view value = nextToken(rest);
            for (const SectionField<Struct>& row : table) {
                if (row.section == section && row.name == name) {
                    OptU64& slot = out.*(row.member);
                    if (!slot) {
                        slot = toU64(value);
                    }
                    break;
                }
            }
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources::scan
