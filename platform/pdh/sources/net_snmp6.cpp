#include "platform/pdh/sources/net_snmp6.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

using S = NetSnmp6;
using scan::Unit;

constexpr scan::KeyField<NetSnmp6> kFields[] = {
    {"Ip6InReceives", &S::ip6InReceives, Unit::None},
    {"Ip6InHdrErrors", &S::ip6InHdrErrors, Unit::None},
    {"Ip6InAddrErrors", &S::ip6InAddrErrors, Unit::None},
    {"Ip6OutForwDatagrams", &S::ip6OutForwDatagrams, Unit::None},
    {"Ip6InDiscards", &S::ip6InDiscards, Unit::None},
    {"Ip6InDelivers", &S::ip6InDelivers, Unit::None},
    {"Ip6OutRequests", &S::ip6OutRequests, Unit::None},
    {"Ip6ReasmOKs", &S::ip6ReasmOks, Unit::None},
    {"Ip6FragCreates", &S::ip6FragCreates, Unit::None},
    {"Icmp6InMsgs", &S::icmp6InMsgs, Unit::None},
    {"Icmp6InErrors", &S::icmp6InErrors, Unit::None},
    {"Icmp6InDestUnreachs", &S::icmp6InDestUnreachs, Unit::None},
    {"Icmp6InEchos", &S::icmp6InEchos, Unit::None},
    {"Icmp6OutMsgs", &S::icmp6OutMsgs, Unit::None},
    {"Icmp6OutErrors", &S::icmp6OutErrors, Unit::None},
    {"Icmp6OutDestUnreachs", &S::icmp6OutDestUnreachs, Unit::None},
    {"Icmp6OutEchoReplies", &S::icmp6OutEchoReplies, Unit::None},
    {"Udp6InDatagrams", &S::udp6InDatagrams, Unit::None},
    {"Udp6NoPorts", &S::udp6NoPorts, Unit::None},
    {"Udp6InErrors", &S::udp6InErrors, Unit::None},
    {"Udp6OutDatagrams", &S::udp6OutDatagrams, Unit::None},
    {"Udp6RcvbufErrors", &S::udp6RcvbufErrors, Unit::None},
    {"Udp6SndbufErrors", &S::udp6SndbufErrors, Unit::None},
};

}  // namespace

std::optional<NetSnmp6> parseNetSnmp6(std::string_view text) {
    NetSnmp6 out;
    bool known = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view value = line;
        const std::string_view name = scan::nextToken(value);
        known = scan::storeKnownKey(kFields, name, value, out) || known;
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
