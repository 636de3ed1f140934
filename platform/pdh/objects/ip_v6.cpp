#include "platform/pdh/objects/ip_v6.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::ip6;
using sources::NetSnmp6;

enum Source : unsigned { Snmp6, SourceCount };
constexpr SourceMask kSnmp6 = src(Snmp6);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Datagrams/sec", "IPv6 datagrams received and sent per second, Ip6InReceives plus Ip6OutRequests of /proc/net/snmp6.", N, Rate, kSnmp6, bit(InReceives) | bit(OutRequests), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received/sec", "IPv6 datagrams received per second from every interface, those in error included, Ip6InReceives of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InReceives), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Sent/sec", "IPv6 datagrams that local protocols handed to IP for sending per second (forwarded ones not counted), Ip6OutRequests of /proc/net/snmp6.", A, Rate, kSnmp6, bit(OutRequests), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Forwarded/sec", "IPv6 datagrams per second this machine routed on toward another host, Ip6OutForwDatagrams of /proc/net/snmp6: non-zero only on a router or a host forwarding for containers.", A, Rate, kSnmp6, bit(Forwarded), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Delivered/sec", "IPv6 datagrams delivered per second to TCP, UDP, ICMPv6 and the other local protocols, Ip6InDelivers of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InDelivers), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Discarded/sec", "Sound IPv6 datagrams dropped per second on the way in, for lack of buffer space for instance, Ip6InDiscards of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InDiscards), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Header Errors/sec", "IPv6 datagrams discarded per second for a bad header (version, hop limit run out), Ip6InHdrErrors of /proc/net/snmp6: damage on the link or a routing loop.", A, Rate, kSnmp6, bit(InHdrErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Address Errors/sec", "IPv6 datagrams discarded per second because their destination address is not valid here, Ip6InAddrErrors of /proc/net/snmp6: misrouted traffic.", A, Rate, kSnmp6, bit(InAddrErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Fragments Reassembled/sec", "IPv6 datagrams reassembled from fragments per second, Ip6ReasmOKs of /proc/net/snmp6.", E, Rate, kSnmp6, bit(ReasmOks), 0, 1, Unit::PerSecond},
    CounterDef{"Fragments Created/sec", "IPv6 fragments this machine created per second to fit a smaller path MTU, Ip6FragCreates of /proc/net/snmp6.", E, Rate, kSnmp6, bit(FragCreates), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp6> kFromSnmp6[] = {
    {InReceives, &NetSnmp6::ip6InReceives},     {OutRequests, &NetSnmp6::ip6OutRequests},
    {Forwarded, &NetSnmp6::ip6OutForwDatagrams}, {InDelivers, &NetSnmp6::ip6InDelivers},
    {InDiscards, &NetSnmp6::ip6InDiscards},     {InHdrErrors, &NetSnmp6::ip6InHdrErrors},
    {InAddrErrors, &NetSnmp6::ip6InAddrErrors}, {ReasmOks, &NetSnmp6::ip6ReasmOks},
    {FragCreates, &NetSnmp6::ip6FragCreates},
};

class IpV6Provider final : public TableProvider {
public:
    IpV6Provider()
        : TableProvider({"IPv6", "The IPv6 layer: datagrams received, sent, delivered and forwarded, errors and fragments, from /proc/net/snmp6 (no values on a kernel without IPv6).", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp6)) setFields(sources.get<NetSnmp6Source>(), kFromSnmp6, out);
    }
};

}  // namespace

const Provider& ipV6Provider() {
    static const IpV6Provider provider;
    return provider;
}

}  // namespace vantorel::pdh
