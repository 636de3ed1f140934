#include "platform/pdh/objects/udp_v6.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::udp6;
using sources::NetSnmp6;

enum Source : unsigned { Snmp6, SourceCount };
constexpr SourceMask kSnmp6 = src(Snmp6);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Datagrams/sec", "UDP datagrams delivered to and sent by programs per second over IPv6, Udp6InDatagrams plus Udp6OutDatagrams of /proc/net/snmp6.", N, Rate, kSnmp6, bit(InDatagrams) | bit(OutDatagrams), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received/sec", "UDP datagrams delivered to programs per second over IPv6, Udp6InDatagrams of /proc/net/snmp6.", A, Rate, kSnmp6, bit(InDatagrams), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Sent/sec", "UDP datagrams sent by programs per second over IPv6, Udp6OutDatagrams of /proc/net/snmp6.", A, Rate, kSnmp6, bit(OutDatagrams), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams No Port/sec", "UDP datagrams per second that arrived over IPv6 for a port nobody listens on, Udp6NoPorts of /proc/net/snmp6: a stopped service, a misdirected client or a port scan.", N, Rate, kSnmp6, bit(NoPorts), 0, 1, Unit::PerSecond},
    CounterDef{"Datagrams Received Errors/sec", "UDP datagrams per second received over IPv6 but not delivered for a reason other than no port (bad checksum, full buffer), Udp6InErrors of /proc/net/snmp6.", N, Rate, kSnmp6, bit(InErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Receive Buffer Errors/sec", "UDP datagrams dropped per second over IPv6 because the receiving socket's buffer was full, Udp6RcvbufErrors of /proc/net/snmp6: a program that reads too slowly.", A, Rate, kSnmp6, bit(RcvbufErrors), 0, 1, Unit::PerSecond},
    CounterDef{"Send Buffer Errors/sec", "UDP datagrams per second not sent over IPv6 because the socket's send buffer was full, Udp6SndbufErrors of /proc/net/snmp6.", A, Rate, kSnmp6, bit(SndbufErrors), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp6> kFromSnmp6[] = {
    {InDatagrams, &NetSnmp6::udp6InDatagrams}, {OutDatagrams, &NetSnmp6::udp6OutDatagrams},
    {NoPorts, &NetSnmp6::udp6NoPorts},         {InErrors, &NetSnmp6::udp6InErrors},
    {RcvbufErrors, &NetSnmp6::udp6RcvbufErrors}, {SndbufErrors, &NetSnmp6::udp6SndbufErrors},
};

class UdpV6Provider final : public TableProvider {
public:
    UdpV6Provider()
        : TableProvider({"UDPv6", "UDP over IPv6: datagrams in and out and the reasons some were not delivered, from /proc/net/snmp6.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp6)) setFields(sources.get<NetSnmp6Source>(), kFromSnmp6, out);
    }
};

}  // namespace

const Provider& udpV6Provider() {
    static const UdpV6Provider provider;
    return provider;
}

}  // namespace vantorel::pdh
