#include "platform/pdh/sources/pid_status.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

using scan::Unit;

constexpr scan::KeyField<PidStatus> kFields[] = {
    {"Threads", &PidStatus::threads, Unit::None},
    {"VmRSS", &PidStatus::vmRss, Unit::KiB},
    {"RssAnon", &PidStatus::rssAnon, Unit::KiB},
    {"voluntary_ctxt_switches", &PidStatus::voluntaryCtxtSwitches, Unit::None},
    {"nonvoluntary_ctxt_switches", &PidStatus::nonvoluntaryCtxtSwitches, Unit::None},
};

char unescaped(char c) {
    switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'f': return '\f';
    case 'v': return '\v';
    case 'a': return '\a';
    case 'e': return '\x1b';
    case '\\': return '\\';
    default: return '\0';
    }
}

}  // namespace

std::string unescapeStatusName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char decoded = (text[i] == '\\' && i + 1 < text.size()) ? unescaped(text[i + 1]) : '\0';
        if (decoded != '\0') {
            out.push_back(decoded);
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::optional<PidStatus> parsePidStatus(std::string_view text) {
    PidStatus out;
    bool known = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view key;
        std::string_view value;
        if (!scan::splitKeyValue(line, key, value)) {
            continue;
        }
        if (key == "Name") {
            if (!out.name) {
                // "Name:\t" then the name as is: blanks inside or at either end
                // belong to it.
                if (value.starts_with('\t')) {
                    value.remove_prefix(1);
                }
                out.name = unescapeStatusName(value);
            }
            known = true;
        } else {
            known = scan::storeKnownKey(kFields, key, value, out) || known;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
