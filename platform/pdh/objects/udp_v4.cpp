#include "platform/pdh/objects/udp_v4.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::udp4;
using sources::NetSnmp;

enum Source : unsigned { Snmp, SourceCount };
constexpr SourceMask kSnmp = src(Snmp);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Datagrams/sec", "UDP datagrams delivered to and sent by programs per second over IPv4, InDatagrams plus OutDatagrams of the Udp lines of /proc/net/snmp.", N, Rate, kSnmp, bit(InDatagrams) | bit(OutDatagrams), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received/sec", "UDP datagrams delivered to programs per second over IPv4, InDatagrams of /proc/net/snmp.", A, Rate, kSnmp, bit(InDatagrams), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Sent/sec", "UDP datagrams sent by programs per second over IPv4, OutDatagrams of /proc/net/snmp.", A, Rate, kSnmp, bit(OutDatagrams), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams No Port/sec", "UDP datagrams per second that arrived over IPv4 for a port nobody listens on, NoPorts of /proc/net/snmp: a stopped service, a misdirected client or a port scan.", N, Rate, kSnmp, bit(NoPorts), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Errors/sec", "UDP datagrams per second received over IPv4 but not delivered for a reason other than no port (bad checksum, full buffer), InErrors of /proc/net/snmp.", N, Rate, kSnmp, bit(InErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Receive Buffer Errors/sec", "UDP datagrams dropped per second over IPv4 because the receiving socket's buffer was full, RcvbufErrors of /proc/net/snmp: a program that reads too slowly.", A, Rate, kSnmp, bit(RcvbufErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Send Buffer Errors/sec", "UDP datagrams per second not sent over IPv4 because the socket's send buffer was full, SndbufErrors of /proc/net/snmp.", A, Rate, kSnmp, bit(SndbufErrors), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp> kFromSnmp[] = {
    {InDatagrams, &NetSnmp::udpInDatagrams}, {OutDatagrams, &NetSnmp::udpOutDatagrams},
    {NoPorts, &NetSnmp::udpNoPorts},         {InErrors, &NetSnmp::udpInErrors},
    {RcvbufErrors, &NetSnmp::udpRcvbufErrors}, {SndbufErrors, &NetSnmp::udpSndbufErrors},
};

class UdpV4Provider final : public TableProvider {
public:
    UdpV4Provider()
        : TableProvider({"UDPv4", "UDP over IPv4: datagrams in and out and the reasons some were not delivered, from /proc/net/snmp.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp)) setFields(sources.get<NetSnmpSource>(), kFromSnmp, out);
    }
};

}  // namespace

const Provider& udpV4Provider() {
    static const UdpV4Provider provider;
    return provider;
}

}  // namespace vantorel::pdh
