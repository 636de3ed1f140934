// /proc/net/snmp: the IPv4 stack's counts since boot (Ip, Icmp, Udp) and TCP's,
// which counts IPv4 and IPv6 together.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct NetSnmp {
    OptU64 ipInReceives, ipInHdrErrors, ipInAddrErrors, ipForwDatagrams, ipInDiscards, ipInDelivers,
        ipOutRequests, ipReasmOks, ipFragCreates;
    OptU64 icmpInMsgs, icmpInErrors, icmpInDestUnreachs, icmpInEchos, icmpOutMsgs, icmpOutErrors,
        icmpOutDestUnreachs, icmpOutEchoReps;
    OptU64 tcpActiveOpens, tcpPassiveOpens, tcpAttemptFails, tcpEstabResets, tcpCurrEstab, tcpInSegs,
        tcpOutSegs, tcpRetransSegs, tcpInErrs, tcpOutRsts;
    OptU64 udpInDatagrams, udpNoPorts, udpInErrors, udpOutDatagrams, udpRcvbufErrors, udpSndbufErrors;
    std::size_t malformedSections = 0;  // header and value lines of different lengths

    bool operator==(const NetSnmp&) const = default;
};

// Every field is found by its name in its section's header line. std::nullopt
// when none of the Ip, Icmp, Tcp, Udp sections is there.
std::optional<NetSnmp> parseNetSnmp(std::string_view text);

}  // namespace vantorel::pdh::sources
