#include "platform/pdh/objects/sockets.h"

#include <array>

#include <unistd.h>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/source_fields.h"
#include "platform/pdh/sources/net_stack_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
using namespace field::sockets;
using sources::Sockstat;

enum Source : unsigned { Stat4, Stat6, SourceCount };
constexpr SourceMask k4 = src(Stat4);
constexpr SourceMask k46 = src(Stat4) | src(Stat6);
static_assert(fitsMasks<FieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit
    CounterDef{"Sockets In Use", "Sockets of every family and protocol open now, used of the sockets line of /proc/net/sockstat.", N, Gauge, k4, bit(Used), 0, 1, Unit::Count},
    CounterDef{"TCP In Use", "TCP sockets open now over IPv4 and IPv6, listening ones included, TCP inuse of /proc/net/sockstat plus TCP6 inuse of /proc/net/sockstat6.", N, Gauge, k46, bit(TcpInUse) | bit(Tcp6InUse), 0, 1, Unit::Count},
    CounterDef{"UDP In Use", "UDP sockets open now over IPv4 and IPv6, UDP inuse of /proc/net/sockstat plus UDP6 inuse of /proc/net/sockstat6.", A, Gauge, k46, bit(UdpInUse) | bit(Udp6InUse), 0, 1, Unit::Count},
    CounterDef{"RAW In Use", "Raw IP sockets open now over IPv4 and IPv6 (programs that build their own IP packets), RAW inuse of /proc/net/sockstat plus RAW6 inuse of /proc/net/sockstat6.", E, Gauge, k46, bit(RawInUse) | bit(Raw6InUse), 0, 1, Unit::Count},
    CounterDef{"IP Fragments In Use", "IP fragment queues waiting for reassembly now, FRAG inuse of /proc/net/sockstat plus FRAG6 inuse of /proc/net/sockstat6.", E, Gauge, k46, bit(FragInUse) | bit(Frag6InUse), 0, 1, Unit::Count},
    CounterDef{"TCP Time Wait", "TCP connections closed here that wait out the time-wait state now, tw of /proc/net/sockstat: tens of thousands mean many short connections and a risk of running out of local ports.", N, Gauge, k4, bit(TimeWait), 0, 1, Unit::Count},
    CounterDef{"TCP Orphaned", "TCP connections no longer held by any program but still closing now, orphan of /proc/net/sockstat: many point at peers that do not finish closing.", A, Gauge, k4, bit(Orphan), 0, 1, Unit::Count},
    CounterDef{"TCP Memory Bytes", "Memory the kernel holds for TCP socket buffers now, in bytes, mem of /proc/net/sockstat (pages) times the page size; near net.ipv4.tcp_mem's limits TCP slows down.", A, Gauge, k4, bit(TcpMemBytes), 0, 1, Unit::Bytes},
};
// clang-format on

constexpr FieldFrom<Sockstat> kFrom4[] = {
    {Used, &Sockstat::socketsUsed}, {TcpInUse, &Sockstat::tcpInUse}, {UdpInUse, &Sockstat::udpInUse},
    {RawInUse, &Sockstat::rawInUse}, {FragInUse, &Sockstat::fragInUse}, {TimeWait, &Sockstat::tcpTimeWait},
    {Orphan, &Sockstat::tcpOrphan},
};
constexpr FieldFrom<Sockstat> kFrom6[] = {
    {Tcp6InUse, &Sockstat::tcp6InUse}, {Udp6InUse, &Sockstat::udp6InUse},
    {Raw6InUse, &Sockstat::raw6InUse}, {Frag6InUse, &Sockstat::frag6InUse},
};

std::uint64_t pageSize() {
    const long page = ::sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::uint64_t>(page) : 4096;
}

class SocketsProvider final : public TableProvider {
public:
    SocketsProvider()
        : TableProvider({"Sockets", "Sockets open now by protocol, and TCP's time-wait, orphaned connections and buffer memory, from /proc/net/sockstat and /proc/net/sockstat6.", false},
                        kCounters),
          pageSize_(pageSize()) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.needs.has(Stat4)) {
            const Sockstat* v4 = sources.get<SockstatSource>();
            setFields(v4, kFrom4, out);
            if (v4 != nullptr && v4->tcpMemPages && *v4->tcpMemPages <= UINT64_MAX / pageSize_)
                out.set(TcpMemBytes, *v4->tcpMemPages * pageSize_);
        }
        if (b.needs.has(Stat6)) setFields(sources.get<Sockstat6Source>(), kFrom6, out);
    }

private:
    std::uint64_t pageSize_;
};

}  // namespace

const Provider& socketsProvider() {
    static const SocketsProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
