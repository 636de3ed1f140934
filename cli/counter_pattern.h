// Counter patterns: a counter path whose instance or counter holds '*', any run
// of characters. "[*]" is a literal '*' and "[[]" a literal '['; nothing else is
// special, so every plain path is a pattern that matches itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/pdh/enumeration.h"

namespace vantorel::cli {

struct CounterPattern {
    std::string object;    // matched without regard to case
    std::string instance;  // glob, case matters; empty when !hasInstance
    bool hasInstance = false;
    std::string counter;   // glob, matched without regard to case
    std::string text;      // as the user wrote it

    // A '*' that is not escaped, in the instance or the counter.
    bool isWildcard() const;
    // The one path a pattern without wildcards names, escapes undone.
    std::string literalPath() const;
};

// Null when the text is not a counter path (see parseCounterPath).
std::optional<CounterPattern> parseCounterPattern(std::string_view text);

bool globMatches(std::string_view glob, std::string_view text, bool ignoreCase);
bool hasWildcard(std::string_view glob);
std::string unescapeGlob(std::string_view glob);

bool matchesObject(const CounterPattern& pattern, std::string_view object, bool hasInstances);
bool matchesInstance(const CounterPattern& pattern, std::string_view instance);
bool matchesCounter(const CounterPattern& pattern, std::string_view counter);

// The paths of the counters and current instances a pattern matches, in the
// catalogue's order. An instance without wildcards is taken as written, whether
// or not it exists now.
std::vector<std::string> expandPattern(const pdh::Enumeration& enumeration, const CounterPattern& pattern);

}  // namespace vantorel::cli
