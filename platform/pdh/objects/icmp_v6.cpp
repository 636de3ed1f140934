#include "platform/pdh/objects/icmp_v6.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::icmp6;
using sources::NetSnmp6;

enum Source : unsigned { Snmp6, SourceCount };
constexpr SourceMask kSnmp6 = src(Snmp6);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Messages/sec", "ICMPv6 messages received and sent per second, Icmp6InMsgs plus Icmp6OutMsgs of /proc/net/snmp6.", N, Rate, kSnmp6, bit(InMsgs) | bit(OutMsgs), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Received/sec", "ICMPv6 messages received per second, those in error included, Icmp6InMsgs of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InMsgs), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Sent/sec", "ICMPv6 messages sent per second, neighbour discovery included, Icmp6OutMsgs of /proc/net/snmp6.", A, Rate, kSnmp6, bit(OutMsgs), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Received Errors/sec", "ICMPv6 messages received per second that were damaged or could not be handled, Icmp6InErrors of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Outbound Errors/sec", "ICMPv6 messages per second this machine failed to send, Icmp6OutErrors of /proc/net/snmp6.", A, Rate, kSnmp6, bit(OutErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Received Echo/sec", "IPv6 echo requests (pings) received per second, Icmp6InEchos of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InEchos), 0, 1, Unit::PerSecond},
    CounterDef{"Sent Echo Reply/sec", "IPv6 echo replies sent per second in answer to pings, Icmp6OutEchoReplies of /proc/net/snmp6.", A, Rate, kSnmp6, bit(OutEchoReps), 0, 1, Unit::PerSecond},
    CounterDef{"Received Destination Unreachable/sec", "ICMPv6 destination-unreachable messages received per second, Icmp6InDestUnreachs of /proc/net/snmp6: hosts, networks or ports this machine tried to reach answer that they cannot be reached.", N, Rate, kSnmp6, bit(InDestUnreachs), 0, 1, Unit::PerSecond},
    CounterDef{"Sent Destination Unreachable/sec", "ICMPv6 destination-unreachable messages sent per second, Icmp6OutDestUnreachs of /proc/net/snmp6: mostly UDP datagrams that came to ports nobody listens on.", N, Rate, kSnmp6, bit(OutDestUnreachs), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp6> kFromSnmp6[] = {
    {InMsgs, &NetSnmp6::icmp6InMsgs},       {OutMsgs, &NetSnmp6::icmp6OutMsgs},
    {InErrors, &NetSnmp6::icmp6InErrors},   {OutErrors, &NetSnmp6::icmp6OutErrors},
    {InEchos, &NetSnmp6::icmp6InEchos},     {OutEchoReps, &NetSnmp6::icmp6OutEchoReplies},
    {InDestUnreachs, &NetSnmp6::icmp6InDestUnreachs}, {OutDestUnreachs, &NetSnmp6::icmp6OutDestUnreachs},
};

class IcmpV6Provider final : public TableProvider {
public:
    IcmpV6Provider()
        : TableProvider({"ICMPv6", "ICMP over IPv6: control messages such as echo (ping) and destination unreachable, from /proc/net/snmp6 (no values on a kernel without IPv6).", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp6)) setFields(sources.get<NetSnmp6Source>(), kFromSnmp6, out);
    }
};

}  // namespace

const Provider& icmpV6Provider() {
    static const IcmpV6Provider provider;
    return provider;
}

}  // namespace vantorel::pdh
