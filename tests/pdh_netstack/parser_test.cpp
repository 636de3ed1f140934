// The parsers of the network stack's files: the captured machine, and the shapes
// other kernels print (fields added, removed, lines cut or of unequal length).
#include "platform/pdh/sources/net_netstat.h"
#include "platform/pdh/sources/net_snmp.h"
#include "platform/pdh/sources/net_snmp6.h"
#include "platform/pdh/sources/sockstat.h"

#include "tests/pdh_sources/fixture.h"

#include <gtest/gtest.h>

namespace vantorel::pdh::sources {
namespace {

std::string machine(std::string_view file) { return test::fixture("vm-k618-t0/proc/net/" + std::string(file)); }

TEST(NetSnmp, ReadsTheCapturedMachine) {
    const auto snmp = parseNetSnmp(machine("snmp"));
    ASSERT_TRUE(snmp.has_value());
    EXPECT_EQ(snmp->malformedSections, 0u);
    // "Ip: 2 64 1860 0 0 0 0 0 1860 1215 ... 1215" (OutTransmits last, unused)
    EXPECT_EQ(snmp->ipInReceives, 1860u);
    EXPECT_EQ(snmp->ipInDelivers, 1860u);
    EXPECT_EQ(snmp->ipOutRequests, 1215u);
    EXPECT_EQ(snmp->ipFragCreates, 0u);
    EXPECT_EQ(snmp->icmpInMsgs, 1u);
    EXPECT_EQ(snmp->icmpInDestUnreachs, 1u);
    // "Tcp: 1 200 120000 -1 17 2 0 0 0 1821 1180 0 0 2 0": MaxConn -1 is no count of ours.
    EXPECT_EQ(snmp->tcpActiveOpens, 17u);
    EXPECT_EQ(snmp->tcpPassiveOpens, 2u);
    EXPECT_EQ(snmp->tcpCurrEstab, 0u);
    EXPECT_EQ(snmp->tcpInSegs, 1821u);
    EXPECT_EQ(snmp->tcpOutSegs, 1180u);
    EXPECT_EQ(snmp->tcpOutRsts, 2u);
    // "Udp: 38 0 0 39 ...", and UdpLite's zeros after it are not Udp's.
    EXPECT_EQ(snmp->udpInDatagrams, 38u);
    EXPECT_EQ(snmp->udpOutDatagrams, 39u);
    EXPECT_EQ(snmp->udpSndbufErrors, 0u);
}

// An older kernel (no OutTransmits, no rate-limit or checksum columns, and a
// Udp line without the buffer errors of 2.6.x) and a newer one with a field
// put in the middle: every field is still found by its name.
TEST(NetSnmp, FindsFieldsByNameWhateverTheKernelAddsOrLacks) {
    const auto old = parseNetSnmp(
        "Ip: Forwarding DefaultTTL InReceives InHdrErrors InAddrErrors ForwDatagrams InUnknownProtos InDiscards InDelivers OutRequests OutDiscards OutNoRoutes ReasmTimeout ReasmReqds ReasmOKs ReasmFails FragOKs FragFails FragCreates\n"
        "Ip: 1 64 100 1 2 3 0 4 90 80 0 0 0 0 5 0 0 0 6\n"
        "Icmp: InMsgs InErrors InDestUnreachs InEchos OutMsgs OutErrors OutDestUnreachs OutEchoReps\n"
        "Icmp: 11 12 13 14 15 16 17 18\n"
        "Tcp: RtoAlgorithm RtoMin RtoMax MaxConn ActiveOpens PassiveOpens AttemptFails EstabResets CurrEstab InSegs OutSegs RetransSegs InErrs OutRsts\n"
        "Tcp: 1 200 120000 -1 21 22 23 24 25 26 27 28 29 30\n"
        "Udp: InDatagrams NoPorts InErrors OutDatagrams\n"
        "Udp: 31 32 33 34\n");
    ASSERT_TRUE(old.has_value());
    EXPECT_EQ(old->ipInReceives, 100u);
    EXPECT_EQ(old->ipForwDatagrams, 3u);
    EXPECT_EQ(old->ipReasmOks, 5u);
    EXPECT_EQ(old->ipFragCreates, 6u);
    EXPECT_EQ(old->icmpOutEchoReps, 18u);
    EXPECT_EQ(old->tcpActiveOpens, 21u);
    EXPECT_EQ(old->tcpOutRsts, 30u);
    EXPECT_EQ(old->udpOutDatagrams, 34u);
    EXPECT_FALSE(old->udpRcvbufErrors.has_value());
    EXPECT_FALSE(old->udpSndbufErrors.has_value());

    const auto newer = parseNetSnmp(
        "Tcp: ActiveOpens InSegs FutureField OutSegs RetransSegs\n"
        "Tcp: 1 2 999 3 4\n");
    ASSERT_TRUE(newer.has_value());
    EXPECT_EQ(newer->tcpInSegs, 2u);
    EXPECT_EQ(newer->tcpOutSegs, 3u);
    EXPECT_EQ(newer->tcpRetransSegs, 4u);
    EXPECT_FALSE(newer->udpInDatagrams.has_value());
}

TEST(NetSnmp, DamagedSectionsLoseTheirOwnFieldsOnly) {
    const struct {
        const char* what;
        std::string text;
        bool tcpRead;
        bool udpRead;
        std::size_t malformed;
    } cases[] = {
        {"a value line shorter than its header",
         "Tcp: InSegs OutSegs RetransSegs\nTcp: 5 6\nUdp: InDatagrams NoPorts\nUdp: 7 8\n", false, true, 1},
        {"a value line longer than its header",
         "Tcp: InSegs OutSegs\nTcp: 5 6 7\nUdp: InDatagrams NoPorts\nUdp: 7 8\n", false, true, 1},
        {"a header without its value line",
         "Tcp: InSegs OutSegs\nUdp: InDatagrams NoPorts\nUdp: 7 8\n", false, true, 0},
        {"a cut final line", "Tcp: InSegs OutSegs\nTcp: 5 6\nUdp: InDatagrams NoPorts\nUdp: 7 8", true, false, 0},
        {"a cut final header", "Tcp: InSegs OutSegs\nTcp: 5 6\nUdp: InDatagrams No", true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto snmp = parseNetSnmp(c.text);
        ASSERT_TRUE(snmp.has_value());
        EXPECT_EQ(snmp->tcpInSegs.has_value(), c.tcpRead);
        EXPECT_EQ(snmp->tcpOutSegs.has_value(), c.tcpRead);
        if (c.tcpRead) {
            EXPECT_EQ(snmp->tcpOutSegs, 6u);
        }
        EXPECT_EQ(snmp->udpNoPorts.has_value(), c.udpRead);
        if (c.udpRead) {
            EXPECT_EQ(snmp->udpNoPorts, 8u);
        }
        EXPECT_EQ(snmp->malformedSections, c.malformed);
    }
}

TEST(NetSnmp, BadValuesSectionsOfLikeNamesAndOtherFiles) {
    // A negative or garbled value is no value for its field alone.
    const auto bad = parseNetSnmp("Tcp: InSegs OutSegs CurrEstab\nTcp: -5 6 x\n");
    ASSERT_TRUE(bad.has_value());
    EXPECT_FALSE(bad->tcpInSegs.has_value());
    EXPECT_EQ(bad->tcpOutSegs, 6u);
    EXPECT_FALSE(bad->tcpCurrEstab.has_value());
    // UdpLite is not Udp; the second of two Udp pairs does not override the first.
    const auto lite = parseNetSnmp("UdpLite: NoPorts\nUdpLite: 9\nUdp: NoPorts\nUdp: 1\nUdp: NoPorts\nUdp: 2\n");
    ASSERT_TRUE(lite.has_value());
    EXPECT_EQ(lite->udpNoPorts, 1u);
    for (const char* other : {"", "\n", "cpu 1 2 3\n", "UdpLite: NoPorts\nUdpLite: 9\n", "Tcp: InSegs\n"}) {
        EXPECT_FALSE(parseNetSnmp(other).has_value()) << other;
    }
}

TEST(NetNetstat, ReadsTcpExtAndNothingFromTheOtherSections) {
    const auto ext = parseNetNetstat(machine("netstat"));
    ASSERT_TRUE(ext.has_value());
    EXPECT_EQ(ext->tcpListenOverflows, 0u);
    EXPECT_EQ(ext->tcpListenDrops, 0u);
    // IpExt between two TcpExt-like names: only TcpExt's own pair counts.
    const auto shaped = parseNetNetstat(
        "IpExt: ListenOverflows ListenDrops\nIpExt: 70 71\n"
        "TcpExt: SyncookiesSent ListenDrops TW ListenOverflows\nTcpExt: 1 12 3 11\n"
        "MPTcpExt: ListenDrops\nMPTcpExt: 80\n");
    ASSERT_TRUE(shaped.has_value());
    EXPECT_EQ(shaped->tcpListenOverflows, 11u);
    EXPECT_EQ(shaped->tcpListenDrops, 12u);
    const auto uneven = parseNetNetstat("TcpExt: ListenOverflows ListenDrops\nTcpExt: 1\n");
    ASSERT_TRUE(uneven.has_value());
    EXPECT_FALSE(uneven->tcpListenOverflows.has_value());
    EXPECT_EQ(uneven->malformedSections, 1u);
    EXPECT_FALSE(parseNetNetstat("IpExt: InOctets\nIpExt: 5\n").has_value());
}

TEST(NetSnmp6, ReadsNamesWhereverTheyAreAndKeepsAbsenceAbsent) {
    const auto machineV6 = parseNetSnmp6(machine("snmp6"));
    ASSERT_TRUE(machineV6.has_value());
    EXPECT_EQ(machineV6->ip6InReceives, 1u);
    EXPECT_EQ(machineV6->ip6OutRequests, 10u);
    EXPECT_EQ(machineV6->icmp6OutMsgs, 9u);
    EXPECT_EQ(machineV6->icmp6InDestUnreachs, 1u);
    EXPECT_EQ(machineV6->udp6InDatagrams, 0u);

    // No Ip6 lines; spaces or tabs; a bad value; the last line cut.
    const auto partial = parseNetSnmp6(
        "Icmp6InMsgs 4\n"
        "Udp6NoPorts\t\t7\n"
        "Udp6InErrors   -1\n"
        "Udp6InDatagrams  12\n"
        "Udp6OutDatagrams  99");
    ASSERT_TRUE(partial.has_value());
    EXPECT_FALSE(partial->ip6InReceives.has_value());
    EXPECT_FALSE(partial->ip6OutRequests.has_value());
    EXPECT_EQ(partial->icmp6InMsgs, 4u);
    EXPECT_EQ(partial->udp6NoPorts, 7u);
    EXPECT_FALSE(partial->udp6InErrors.has_value());
    EXPECT_EQ(partial->udp6InDatagrams, 12u);
    EXPECT_FALSE(partial->udp6OutDatagrams.has_value());
    for (const char* other : {"", "Ip6Unknown 5\n", "Ip6InReceives 5"}) {
        EXPECT_FALSE(parseNetSnmp6(other).has_value()) << other;
    }
}

TEST(Sockstat, ReadsBothFilesIntoTheirOwnFields) {
    const auto v4 = parseSockstat(machine("sockstat"));
    ASSERT_TRUE(v4.has_value());
    EXPECT_EQ(v4->socketsUsed, 15u);
    EXPECT_EQ(v4->tcpInUse, 1u);
    EXPECT_EQ(v4->tcpTimeWait, 0u);
    EXPECT_EQ(v4->tcpMemPages, 313u);
    EXPECT_EQ(v4->fragInUse, 0u);
    EXPECT_FALSE(v4->tcp6InUse.has_value());
    const auto v6 = parseSockstat(machine("sockstat6"));
    ASSERT_TRUE(v6.has_value());
    EXPECT_EQ(v6->tcp6InUse, 0u);
    EXPECT_EQ(v6->frag6InUse, 0u);
    EXPECT_FALSE(v6->tcpInUse.has_value());

    // Reordered pairs; a field of one protocol never read as another's; a
    // missing number leaves the rest of its line unread; the cut line is dropped.
    const auto odd = parseSockstat(
        "TCP: mem 9 tw 4 inuse 2 orphan 1\n"
        "UDPLITE: inuse 50\n"
        "FRAG: inuse 3 memory 0\n"
        "RAW: inuse orphan 7 tw 8\n"
        "UDP: inuse 6");
    ASSERT_TRUE(odd.has_value());
    EXPECT_EQ(odd->tcpInUse, 2u);
    EXPECT_EQ(odd->tcpOrphan, 1u);
    EXPECT_EQ(odd->tcpTimeWait, 4u);
    EXPECT_EQ(odd->tcpMemPages, 9u);
    EXPECT_EQ(odd->fragInUse, 3u);
    EXPECT_FALSE(odd->rawInUse.has_value());
    EXPECT_FALSE(odd->udpInUse.has_value());
    EXPECT_FALSE(odd->socketsUsed.has_value());
    EXPECT_FALSE(parseSockstat("UDPLITE: inuse 50\n").has_value());
}

}  // namespace
}  // namespace vantorel::pdh::sources
