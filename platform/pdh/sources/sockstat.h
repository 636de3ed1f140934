// /proc/net/sockstat and /proc/net/sockstat6: sockets in use now, one line per
// protocol of "name value" pairs ("TCP: inuse 1 orphan 0 tw 0 alloc 1 mem 357").
// Both files parse into the one struct; each fills the fields of its family.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct Sockstat {
    OptU64 socketsUsed;  // every socket of every family
    OptU64 tcpInUse, tcpOrphan, tcpTimeWait, tcpMemPages;  // orphan, tw and mem cover IPv6 too
    OptU64 udpInUse, rawInUse, fragInUse;
    OptU64 tcp6InUse, udp6InUse, raw6InUse, frag6InUse;

    bool operator==(const Sockstat&) const = default;
};

// std::nullopt when none of the fields above is in the text.
std::optional<Sockstat> parseSockstat(std::string_view text);

}  // namespace vantorel::pdh::sources
