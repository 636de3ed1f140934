#include "platform/pdh/objects/tcp.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::tcp;
using sources::NetNetstat;
using sources::NetSnmp;

enum Source : unsigned { Snmp, Netstat, SourceCount };
constexpr SourceMask kSnmp = src(Snmp);
constexpr SourceMask kExt = src(Netstat);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Segments/sec", "TCP segments received and sent per second, InSegs plus OutSegs of the Tcp lines of /proc/net/snmp (IPv4 and IPv6 together).", N, Rate, kSnmp, bit(InSegs) | bit(OutSegs), 0, 1, Unit::PerSecond},
    CounterDef{"Segments Received/sec", "TCP segments received per second, those in error included, InSegs of /proc/net/snmp.", A, Rate, kSnmp, bit(InSegs), 0, 1, Unit::PerSecond},
    CounterDef{"Segments Sent/sec", "TCP segments sent per second, OutSegs of /proc/net/snmp.", A, Rate, kSnmp, bit(OutSegs), 0, 1, Unit::PerSecond},
    CounterDef{"Segments Retransmitted/sec", "TCP segments retransmitted per second, RetransSegs of /proc/net/snmp: a sign of loss or congestion on the path.", N, Rate, kSnmp, bit(RetransSegs), 0, 1, Unit::PerSecond},
    CounterDef{"% Segments Retransmitted", "Retransmitted segments as a percentage of segments sent over the interval, 100 x RetransSegs / OutSegs of /proc/net/snmp (0 when nothing was sent); more than a percent or two means a lossy or congested path.", N, EventShare, kSnmp, bit(RetransSegs), bit(OutSegs), 1, Unit::Percent},
    CounterDef{"Connections Established", "TCP connections now established or in close-wait, CurrEstab of /proc/net/snmp.", N, Gauge, kSnmp, bit(CurrEstab), 0, 1, Unit::Count},
    CounterDef{"Connections Active/sec", "Connections this machine opened per second (a connect that sent a SYN), ActiveOpens of /proc/net/snmp.", A, Rate, kSnmp, bit(ActiveOpens), 0, 1, Unit::PerSecond},
    CounterDef{"Connections Passive/sec", "Connections accepted per second by listening sockets here, PassiveOpens of /proc/net/snmp.", A, Rate, kSnmp, bit(PassiveOpens), 0, 1, Unit::PerSecond},
    CounterDef{"Connection Failures/sec", "Connection attempts that failed per second (refused, timed out or reset before they were established), AttemptFails of /proc/net/snmp: a server that is down, unreachable or overloaded.", N, Rate, kSnmp, bit(AttemptFails), 0, 1, Unit::PerSecond},
    CounterDef{"Connections Reset/sec", "Established connections reset per second, EstabResets of /proc/net/snmp: peers or programs aborting their connections.", A, Rate, kSnmp, bit(EstabResets), 0, 1, Unit::PerSecond},
    CounterDef{"Resets Sent/sec", "TCP segments with the reset flag sent per second, OutRsts of /proc/net/snmp: connections to ports nobody listens on, or connections this machine aborts.", A, Rate, kSnmp, bit(OutRsts), 0, 1, Unit::PerSecond},
    CounterDef{"Segments Received Errors/sec", "TCP segments received in error per second (bad checksum or header), InErrs of /proc/net/snmp: damaged packets on the way in.", A, Rate, kSnmp, bit(InErrs), 0, 1, Unit::PerSecond},
    CounterDef{"Listen Overflows/sec", "Connections turned away per second because a listening socket's accept queue was full, ListenOverflows of the TcpExt lines of /proc/net/netstat: a server that accepts too slowly or has too small a backlog.", A, Rate, kExt, bit(ListenOverflows), 0, 1, Unit::PerSecond},
    CounterDef{"Listen Drops/sec", "Connection requests dropped per second at listening sockets for any reason, overflows included, ListenDrops of the TcpExt lines of /proc/net/netstat.", A, Rate, kExt, bit(ListenDrops), 0, 1, Unit::PerSecond},
};
// clang-format on

constexpr FieldFrom<NetSnmp> kFromSnmp[] = {
    {InSegs, &NetSnmp::tcpInSegs},           {OutSegs, &NetSnmp::tcpOutSegs},
    {RetransSegs, &NetSnmp::tcpRetransSegs}, {CurrEstab, &NetSnmp::tcpCurrEstab},
    {ActiveOpens, &NetSnmp::tcpActiveOpens}, {PassiveOpens, &NetSnmp::tcpPassiveOpens},
    {AttemptFails, &NetSnmp::tcpAttemptFails}, {EstabResets, &NetSnmp::tcpEstabResets},
    {OutRsts, &NetSnmp::tcpOutRsts},         {InErrs, &NetSnmp::tcpInErrs},
};
constexpr FieldFrom<NetNetstat> kFromNetstat[] = {
    {ListenOverflows, &NetNetstat::tcpListenOverflows},
    {ListenDrops, &NetNetstat::tcpListenDrops},
};

class TcpProvider final : public TableProvider {
public:
    TcpProvider()
        : TableProvider({"TCP", "The TCP stack of IPv4 and IPv6 together: segments, retransmissions, connections and listen queues, from /proc/net/snmp and /proc/net/netstat.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Snmp)) setFields(sources.get<NetSnmpSource>(), kFromSnmp, out);
        if (b.needs.has(Netstat)) setFields(sources.get<NetNetstatSource>(), kFromNetstat, out);
    }
};

}  // namespace

const Provider& tcpProvider() {
    static const TcpProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
