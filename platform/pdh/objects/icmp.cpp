#include "platform/pdh/objects/icmp.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::icmp4;
using sources::NetSnmp;

enum Source : unsigned { Snmp, SourceCount };
constexpr SourceMask kSnmp = src(Snmp);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Messages/sec", "ICMP messages received and sent per second, InMsgs plus OutMsgs of the Icmp lines of /proc/net/snmp.", N, Rate, kSnmp, bit(InMsgs) | bit(OutMsgs), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Received/sec", "ICMP messages received per second, those in error included, InMsgs of /proc/net/snmp.", A, Rate, kSnmp, bit(InMsgs), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Sent/sec", "ICMP messages sent per second, OutMsgs of /proc/net/snmp.", A, Rate, kSnmp, bit(OutMsgs), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Received Errors/sec", "ICMP messages received per second that were damaged (bad checksum or length), InErrors of /proc/net/snmp.", A, Rate, kSnmp, bit(InErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Messages Outbound Errors/sec", "ICMP messages per second this machine failed to send, OutErrors of /proc/net/snmp.", A, Rate, kSnmp, bit(OutErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Received Echo/sec", "Echo requests (pings) received per second, InEchos of /proc/net/snmp.", A, Rate, kSnmp, bit(InEchos), 0, 1, Unit::PerSecond},
    CounterDef{"Sent Echo Reply/sec", "Echo replies sent per second in answer to pings, OutEchoReps of /proc/net/snmp.", A, Rate, kSnmp, bit(OutEchoReps), 0, 1, Unit::PerSecond},
    CounterDef{"Received Destination Unreachable/sec", "Destination-unreachable messages received per second, InDestUnreachs of /proc/net/snmp: hosts, networks or ports this machine tried to reach answer that they cannot be reached.", N, Rate, kSnmp, bit(InDestUnreachs), 0, 1, Unit::PerSecond},
    CounterDef{"Sent Destination Unreachable/sec", "Destination-unreachable messages sent per second, OutDestUnreachs of /proc/net/snmp: mostly UDP datagrams that came to ports nobody listens on.", N, Rate, kSnmp, bit(OutDestUnreachs), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp> kFromSnmp[] = {
    {InMsgs, &NetSnmp::icmpInMsgs},       {OutMsgs, &NetSnmp::icmpOutMsgs},
    {InErrors, &NetSnmp::icmpInErrors},   {OutErrors, &NetSnmp::icmpOutErrors},
    {InEchos, &NetSnmp::icmpInEchos},     {OutEchoReps, &NetSnmp::icmpOutEchoReps},
    {InDestUnreachs, &NetSnmp::icmpInDestUnreachs}, {OutDestUnreachs, &NetSnmp::icmpOutDestUnreachs},
};

class IcmpProvider final : public TableProvider {
public:
    IcmpProvider()
        : TableProvider({"ICMP", "ICMP over IPv4: control messages such as echo (ping) and destination unreachable, from /proc/net/snmp.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp)) setFields(sources.get<NetSnmpSource>(), kFromSnmp, out);
    }
};

}  // namespace

const Provider& icmpProvider() {
    static const IcmpProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
