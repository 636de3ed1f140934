#include "platform/pdh/objects/ip_v4.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::ip4;
using sources::NetSnmp;

enum Source : unsigned { Snmp, SourceCount };
constexpr SourceMask kSnmp = src(Snmp);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Datagrams/sec", "IPv4 datagrams received and sent per second, InReceives plus OutRequests of the Ip lines of /proc/net/snmp.", N, Rate, kSnmp, bit(InReceives) | bit(OutRequests), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received/sec", "IPv4 datagrams received per second from every interface, those in error included, InReceives of /proc/net/snmp.", A, Rate, kSnmp, bit(InReceives), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Sent/sec", "IPv4 datagrams that local protocols handed to IP for sending per second (forwarded ones not counted), OutRequests of /proc/net/snmp.", A, Rate, kSnmp, bit(OutRequests), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Forwarded/sec", "IPv4 datagrams per second this machine routed on toward another host, ForwDatagrams of /proc/net/snmp: non-zero only on a router or a host forwarding for containers.", A, Rate, kSnmp, bit(Forwarded), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Delivered/sec", "IPv4 datagrams delivered per second to TCP, UDP, ICMP and the other local protocols, InDelivers of /proc/net/snmp.", A, Rate, kSnmp, bit(InDelivers), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Discarded/sec", "Sound IPv4 datagrams dropped per second on the way in, for lack of buffer space for instance, InDiscards of /proc/net/snmp.", A, Rate, kSnmp, bit(InDiscards), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Header Errors/sec", "IPv4 datagrams discarded per second for a bad header (checksum, version, time to live run out), InHdrErrors of /proc/net/snmp: damage on the link or a routing loop.", A, Rate, kSnmp, bit(InHdrErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Address Errors/sec", "IPv4 datagrams discarded per second because their destination address is not valid here, InAddrErrors of /proc/net/snmp: misrouted traffic.", A, Rate, kSnmp, bit(InAddrErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Fragments Reassembled/sec", "IPv4 datagrams reassembled from fragments per second, ReasmOKs of /proc/net/snmp: a path whose MTU is smaller than what senders use.", E, Rate, kSnmp, bit(ReasmOks), 0, 1, Unit::PerSecond},
    CounterDef{"Fragments Created/sec", "IPv4 fragments this machine created per second to fit a smaller MTU, FragCreates of /proc/net/snmp.", E, Rate, kSnmp, bit(FragCreates), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp> kFromSnmp[] = {
    {InReceives, &NetSnmp::ipInReceives},     {OutRequests, &NetSnmp::ipOutRequests},
    {Forwarded, &NetSnmp::ipForwDatagrams},   {InDelivers, &NetSnmp::ipInDelivers},
    {InDiscards, &NetSnmp::ipInDiscards},     {InHdrErrors, &NetSnmp::ipInHdrErrors},
    {InAddrErrors, &NetSnmp::ipInAddrErrors}, {ReasmOks, &NetSnmp::ipReasmOks},
    {FragCreates, &NetSnmp::ipFragCreates},
};

class IpV4Provider final : public TableProvider {
public:
    IpV4Provider()
        : TableProvider({"IPv4", "The IPv4 layer: datagrams received, sent, delivered and forwarded, errors and fragments, from /proc/net/snmp.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp)) setFields(sources.get<NetSnmpSource>(), kFromSnmp, out);
    }
};

}  // namespace

const Provider& ipV4Provider() {
    static const IpV4Provider provider;
    return provider;
}

}  // namespace vantorel::pdh
