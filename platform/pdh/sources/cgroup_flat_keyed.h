// The cgroup v2 "flat keyed" files (cpu.stat, memory.stat, memory.events): one
// "key value" pair a line. Internal to this directory.
#pragma once

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources::scan {

template <typename Struct>
struct FlatKey {
    std::string_view key;
    OptU64 Struct::*member;
};

// Stores the table's keys; nullopt when the text holds none of them. A line
// that is not "key number" is counted and skipped; the first value of a key wins.
template <class Struct, std::size_t N>
std::optional<Struct> parseFlatKeyed(std::string_view text, const FlatKey<Struct> (&table)[N]) {
    Struct out;
    bool known = false;
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        if (line.empty()) {
            continue;
        }
        std::string_view rest = line;
        const std::string_view key = nextToken(rest);
        const OptU64 value = toU64(nextToken(rest));
        if (!value || !nextToken(rest).empty()) {
            ++out.malformedLines;
            continue;
        }
        for (const FlatKey<Struct>& field : table) {
            if (field.key == key) {
                OptU64& slot = out.*(field.member);
                if (!slot) {
                    slot = value;
                }
                known = true;
                break;
            }
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources::scan
