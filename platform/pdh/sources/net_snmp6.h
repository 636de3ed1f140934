// /proc/net/snmp6: the IPv6 stack's counts since boot, one "Name value" line
// each (Ip6InReceives 1). Absent when the kernel has no IPv6.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct NetSnmp6 {
    OptU64 ip6InReceives, ip6InHdrErrors, ip6InAddrErrors, ip6OutForwDatagrams, ip6InDiscards, ip6InDelivers,
        ip6OutRequests, ip6ReasmOks, ip6FragCreates;
    OptU64 icmp6InMsgs, icmp6InErrors, icmp6InDestUnreachs, icmp6InEchos, icmp6OutMsgs, icmp6OutErrors,
        icmp6OutDestUnreachs, icmp6OutEchoReplies;
    OptU64 udp6InDatagrams, udp6NoPorts, udp6InErrors, udp6OutDatagrams, udp6RcvbufErrors, udp6SndbufErrors;

    bool operator==(const NetSnmp6&) const = default;
};

// std::nullopt when none of the names above is in the text.
std::optional<NetSnmp6> parseNetSnmp6(std::string_view text);

}  // namespace vantorel::pdh::sources
