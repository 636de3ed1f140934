#include "platform/pdh/sources/sockstat.h"

#include "platform/pdh/sources/snmp_pairs.h"

namespace vantorel::pdh::sources {

namespace {

using S = Sockstat;

constexpr scan::SectionField<Sockstat> kFields[] = {
    {"sockets", "used", &S::socketsUsed},
    {"TCP", "inuse", &S::tcpInUse},
    {"TCP", "orphan", &S::tcpOrphan},
    {"TCP", "tw", &S::tcpTimeWait},
    {"TCP", "mem", &S::tcpMemPages},
    {"UDP", "inuse", &S::udpInUse},
    {"RAW", "inuse", &S::rawInUse},
    {"FRAG", "inuse", &S::fragInUse},
    {"TCP6", "inuse", &S::tcp6InUse},
    {"UDP6", "inuse", &S::udp6InUse},
    {"RAW6", "inuse", &S::raw6InUse},
    {"FRAG6", "inuse", &S::frag6InUse},
};

}  // namespace

std::optional<Sockstat> parseSockstat(std::string_view text) {
    Sockstat out;
    bool known = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view section;
        std::string_view pairs;
        if (!scan::splitKeyValue(line, section, pairs)) {
            continue;
        }
        // A name without its number ends the line: what follows cannot be paired.
        for (;;) {
            const std::string_view name = scan::nextToken(pairs);
            const OptU64 value = scan::toU64(scan::nextToken(pairs));
            if (name.empty() || !value) {
                break;
            }
            for (const auto& row : kFields) {
                if (row.section == section && row.name == name) {
                    known = true;
                    OptU64& slot = out.*(row.member);
                    if (!slot) {
                        slot = value;
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

}  // namespace vantorel::pdh::sources
