#include "platform/pdh/sources/net_snmp.h"

#include "platform/pdh/sources/snmp_pairs.h"

namespace vantorel::pdh::sources {

namespace {

using S = NetSnmp;

constexpr scan::SectionField<NetSnmp> kFields[] = {
    {"Ip", "InReceives", &S::ipInReceives},
    {"Ip", "InHdrErrors", &S::ipInHdrErrors},
    {"Ip", "InAddrErrors", &S::ipInAddrErrors},
    {"Ip", "ForwDatagrams", &S::ipForwDatagrams},
    {"Ip", "InDiscards", &S::ipInDiscards},
    {"Ip", "InDelivers", &S::ipInDelivers},
    {"Ip", "OutRequests", &S::ipOutRequests},
    {"Ip", "ReasmOKs", &S::ipReasmOks},
    {"Ip", "FragCreates", &S::ipFragCreates},
    {"Icmp", "InMsgs", &S::icmpInMsgs},
    {"Icmp", "InErrors", &S::icmpInErrors},
    {"Icmp", "InDestUnreachs", &S::icmpInDestUnreachs},
    {"Icmp", "InEchos", &S::icmpInEchos},
    {"Icmp", "OutMsgs", &S::icmpOutMsgs},
    {"Icmp", "OutErrors", &S::icmpOutErrors},
    {"Icmp", "OutDestUnreachs", &S::icmpOutDestUnreachs},
    {"Icmp", "OutEchoReps", &S::icmpOutEchoReps},
    {"Tcp", "ActiveOpens", &S::tcpActiveOpens},
    {"Tcp", "PassiveOpens", &S::tcpPassiveOpens},
    {"Tcp", "AttemptFails", &S::tcpAttemptFails},
    {"Tcp", "EstabResets", &S::tcpEstabResets},
    {"Tcp", "CurrEstab", &S::tcpCurrEstab},
    {"Tcp", "InSegs", &S::tcpInSegs},
    {"Tcp", "OutSegs", &S::tcpOutSegs},
    {"Tcp", "RetransSegs", &S::tcpRetransSegs},
    {"Tcp", "InErrs", &S::tcpInErrs},
    {"Tcp", "OutRsts", &S::tcpOutRsts},
    {"Udp", "InDatagrams", &S::udpInDatagrams},
    {"Udp", "NoPorts", &S::udpNoPorts},
    {"Udp", "InErrors", &S::udpInErrors},
    {"Udp", "OutDatagrams", &S::udpOutDatagrams},
    {"Udp", "RcvbufErrors", &S::udpRcvbufErrors},
    {"Udp", "SndbufErrors", &S::udpSndbufErrors},
};

}  // namespace

std::optional<NetSnmp> parseNetSnmp(std::string_view text) { return scan::parseSectionPairs(text, kFields); }

}  // namespace vantorel::pdh::sources
