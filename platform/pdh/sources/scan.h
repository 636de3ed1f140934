// Small scanning steps the parsers share. Internal to this directory.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace vantorel::pdh::sources::scan {

// Hands out the text's complete lines, without their '\n'. A tail that lacks
// the '\n' may be cut short by the read and is never handed out.
class Lines {
public:
    explicit Lines(std::string_view text) : rest_(text) {}

    bool next(std::string_view& line) {
        const std::size_t end = rest_.find('\n');
        if (end == std::string_view::npos) {
            return false;
        }
        line = rest_.substr(0, end);
        rest_.remove_prefix(end + 1);
        return true;
    }

private:
    std::string_view rest_;
};

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

inline std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The next run of non-blank characters; empty when only blanks are left.
inline std::string_view nextToken(std::string_view& s) {
    std::size_t start = 0;
    while (start < s.size() && isBlank(s[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < s.size() && !isBlank(s[end])) {
        ++end;
    }
    const std::string_view token = s.substr(start, end - start);
    s.remove_prefix(end);
    return token;
}

// The text up to the next `sep` (all of it when there is none); empty fields
// are kept, so "a  b" split on ' ' gives "a", "", "b".
inline std::string_view nextField(std::string_view& s, char sep) {
    const std::size_t end = s.find(sep);
    if (end == std::string_view::npos) {
        const std::string_view field = s;
        s = {};
        return field;
    }
    const std::string_view field = s.substr(0, end);
    s.remove_prefix(end + 1);
    return field;
}

// The whole token as a number, or no value. Unsigned types refuse a sign.
template <typename T>
std::optional<T> toNumber(std::string_view token) {
    static_assert(std::is_integral_v<T>);
    if (token.empty()) {
        return std::nullopt;
    }
    T value{};
    const char* const end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value);
    if (ec != std::errc{} || ptr != end) {
        return std::nullopt;
    }
    return value;
}

inline OptU64 toU64(std::string_view token) { return toNumber<std::uint64_t>(token); }

// A finite decimal number; from_chars alone would also take "inf" and "nan".
inline std::optional<double> toDouble(std::string_view token) {
    if (token.empty()) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* const end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, value, std::chars_format::fixed);
    if (ec != std::errc{} || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

inline OptU64 kibToBytes(OptU64 kib) {
    if (!kib || *kib > std::numeric_limits<std::uint64_t>::max() / 1024) {
        return std::nullopt;
    }
    return *kib * 1024;
}

// "Key:   123 kB" files (meminfo, status, io): the key and the text after ':'.
inline bool splitKeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    key = line.substr(0, colon);
    value = line.substr(colon + 1);
    return true;
}

enum class Unit { None, KiB };

// The value of a key/value line: one number, then " kB" when `unit` says so,
// then nothing else.
inline OptU64 valueIn(std::string_view value, Unit unit) {
    const OptU64 number = toU64(nextToken(value));
    if (unit == Unit::KiB && nextToken(value) != "kB") {
        return std::nullopt;
    }
    if (!nextToken(value).empty()) {
        return std::nullopt;
    }
    return unit == Unit::KiB ? kibToBytes(number) : number;
}

// One row of a key/value catalogue: where the key's number goes.
template <typename Struct>
struct KeyField {
    std::string_view key;
    OptU64 Struct::*member;
    Unit unit;
};

// Fills `out` from the line if its key is in the table. The first well-formed
// value of a key wins; a malformed one stays no value. True when the key is known.
template <typename Struct, std::size_t N>
bool storeKnownKey(const KeyField<Struct> (&table)[N], std::string_view key,
                   std::string_view value, Struct& out) {
    for (const KeyField<Struct>& field : table) {
        if (field.key == key) {
            OptU64& slot = out.*(field.member);
            if (!slot) {
                slot = valueIn(value, field.unit);
            }
            return true;
        }
    }
    return false;
}

// Fills `out` with the next blank-separated numbers of `rest`; false when one is
// missing or not a number.
template <std::size_t N>
bool readNumbers(std::string_view& rest, std::array<std::uint64_t, N>& out) {
    for (std::uint64_t& slot : out) {
        const OptU64 value = toU64(nextToken(rest));
        if (!value) {
            return false;
        }
        slot = *value;
    }
    return true;
}

// A file of "Key: value" lines: stores the table's keys, or nullopt when the
// text holds none of them (it is not that file).
template <class Struct, std::size_t N>
std::optional<Struct> parseKeyValueFile(std::string_view text, const KeyField<Struct> (&table)[N]) {
    Struct out;
    bool known = false;
    Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view key;
        std::string_view value;
        if (splitKeyValue(line, key, value)) {
            known = storeKnownKey(table, key, value, out) || known;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources::scan
