// /proc/net/netstat: the kernel's extended TCP counts since boot, in the
// header/value line pairs of /proc/net/snmp (TcpExt, IpExt, ...).
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct NetNetstat {
    OptU64 tcpListenOverflows;  // a full accept queue turned a connection away
    OptU64 tcpListenDrops;      // every drop at a listening socket, overflows included
    std::size_t malformedSections = 0;  // header and value lines of different lengths

    bool operator==(const NetNetstat&) const = default;
};

// Every field is found by its name in its section's header line; the other
// sections (IpExt, MPTcpExt, ...) are passed over. std::nullopt when there is
// no TcpExt section.
std::optional<NetNetstat> parseNetNetstat(std::string_view text);

}  // namespace vantorel::pdh::sources
