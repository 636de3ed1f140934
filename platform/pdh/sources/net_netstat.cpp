#include "platform/pdh/sources/net_netstat.h"

#include "platform/pdh/sources/snmp_pairs.h"

namespace vantorel::pdh::sources {

namespace {

using S = NetNetstat;

constexpr scan::SectionField<NetNetstat> kFields[] = {
    {"TcpExt", "ListenOverflows", &S::tcpListenOverflows},
    {"TcpExt", "ListenDrops", &S::tcpListenDrops},
};

}  // namespace

std::optional<NetNetstat> parseNetNetstat(std::string_view text) { return scan::parseSectionPairs(text, kFields); }

}  // namespace vantorel::pdh::sources
