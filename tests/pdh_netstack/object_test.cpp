// The eight network-stack objects through the engine: over the two moments
// captured from this machine (loopback traffic ran between them), and over
// hand-made files of other kernels' shapes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <memory>
#include <string>

#include "tests/support/fixture_tree_reader.h"
#include "platform/pdh/engine/library.h"
#include "platform/pdh/engine/system_reader.h"
#include "tests/pdh_engine/fake_reader.h"

namespace vantorel::pdh {
namespace {

// A query over one reader, adding counters by object and counter name.
class NetQuery {
public:
    explicit NetQuery(std::shared_ptr<SystemReader> reader, std::string root = "/")
        : lib_(root, root, std::move(reader)) {
        EXPECT_EQ(lib_.openQuery(0, &query_), ERROR_SUCCESS);
    }
    PDH_HCOUNTER add(const std::string& object, const std::string& counter) {
        const std::string path = "\\" + object + "\\" + counter;
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib_.addCounter(query_, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    void collect() { ASSERT_EQ(lib_.collect(query_), ERROR_SUCCESS); }
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c) {
        PDH_FMT_COUNTERVALUE v{};
        lib_.formattedValue(c, PDH_FMT_DOUBLE, nullptr, &v);
        return v;
    }
    double value(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    DWORD status(PDH_HCOUNTER c) { return read(c).CStatus; }

private:
    Library lib_;
    PDH_HQUERY query_ = nullptr;
};

using TreeReader = testing::FixtureTreeReader;

TEST(CapturedMachine, LoopbackTrafficBetweenTheTwoMoments) {
    auto reader = std::make_shared<TreeReader>();
    reader->tree = std::string(VANTOREL_FIXTURES) + "/vm-k618-t0/";
    reader->now = 1534.29;  // t0 uptime
    NetQuery q(reader, "/fx/");
    PDH_HCOUNTER segments = q.add("TCP", "Segments/sec");
    PDH_HCOUNTER failures = q.add("TCP", "Connection Failures/sec");
    PDH_HCOUNTER resets = q.add("TCP", "Resets Sent/sec");
    PDH_HCOUNTER active = q.add("TCP", "Connections Active/sec");
    PDH_HCOUNTER retransShare = q.add("TCP", "% Segments Retransmitted");
    PDH_HCOUNTER overflows = q.add("TCP", "Listen Overflows/sec");
    PDH_HCOUNTER noPort = q.add("UDPv4", "Datagrams No Port/sec");
    PDH_HCOUNTER udpSent = q.add("UDPv4", "Datagrams Sent/sec");
    PDH_HCOUNTER unreachSent = q.add("ICMP", "Sent Destination Unreachable/sec");
    PDH_HCOUNTER unreachIn = q.add("ICMP", "Received Destination Unreachable/sec");
    PDH_HCOUNTER ipDatagrams = q.add("IPv4", "Datagrams/sec");
    PDH_HCOUNTER ip6Sent = q.add("IPv6", "Datagrams Sent/sec");
    PDH_HCOUNTER icmp6Sent = q.add("ICMPv6", "Messages Sent/sec");
    PDH_HCOUNTER udp6In = q.add("UDPv6", "Datagrams Received/sec");
    PDH_HCOUNTER sockets = q.add("Sockets", "Sockets In Use");
    PDH_HCOUNTER tcpInUse = q.add("Sockets", "TCP In Use");
    PDH_HCOUNTER timeWait = q.add("Sockets", "TCP Time Wait");
    PDH_HCOUNTER tcpMemory = q.add("Sockets", "TCP Memory Bytes");

    q.collect();
    // First values are averages since boot: "Tcp: ... InSegs 1821 OutSegs 1180".
    EXPECT_NEAR(q.value(segments), (1821.0 + 1180) / 1534.29, 1e-9);
    EXPECT_NEAR(q.value(ip6Sent), 10 / 1534.29, 1e-9);  // Ip6OutRequests 10
    EXPECT_EQ(q.value(retransShare), 0.0);              // RetransSegs 0 of 1180

    reader->tree = std::string(VANTOREL_FIXTURES) + "/vm-k618-t1/";
    reader->now = 1537.53;  // 3.24 s later
    q.collect();
    const double dt = 3.24;
    // One TCP connection and one refused connect: ActiveOpens 17 -> 19,
    // AttemptFails 0 -> 1, OutRsts 2 -> 3, InSegs +13, OutSegs +13.
    EXPECT_NEAR(q.value(segments), 26 / dt, 1e-9);
    EXPECT_NEAR(q.value(active), 2 / dt, 1e-9);
    EXPECT_NEAR(q.value(failures), 1 / dt, 1e-9);
    EXPECT_NEAR(q.value(resets), 1 / dt, 1e-9);
    EXPECT_EQ(q.value(retransShare), 0.0);
    EXPECT_EQ(q.value(overflows), 0.0);
    // Five datagrams to a closed port: NoPorts 0 -> 5, OutDatagrams 39 -> 44,
    // each answered by a port unreachable sent and received on loopback.
    EXPECT_NEAR(q.value(noPort), 5 / dt, 1e-9);
    EXPECT_NEAR(q.value(udpSent), 5 / dt, 1e-9);
    EXPECT_NEAR(q.value(unreachSent), 5 / dt, 1e-9);
    EXPECT_NEAR(q.value(unreachIn), 5 / dt, 1e-9);
    // Ip InReceives 1860 -> 1883, OutRequests 1215 -> 1238.
    EXPECT_NEAR(q.value(ipDatagrams), 46 / dt, 1e-9);
    EXPECT_EQ(q.value(ip6Sent), 0.0);
    EXPECT_EQ(q.value(icmp6Sent), 0.0);
    EXPECT_EQ(q.value(udp6In), 0.0);
    // sockstat t1: "sockets: used 15", "TCP: inuse 1 orphan 0 tw 1 alloc 1 mem 313", TCP6 inuse 0.
    EXPECT_EQ(q.value(sockets), 15.0);
    EXPECT_EQ(q.value(tcpInUse), 1.0);
    EXPECT_EQ(q.value(timeWait), 1.0);
    EXPECT_EQ(q.value(tcpMemory), 313.0 * static_cast<double>(::sysconf(_SC_PAGESIZE)));
}

// Files of a kernel with the common shape, each replaced in turn by another
// kernel's or a damaged one.
const std::string kSnmp =
    "Ip: Forwarding DefaultTTL InReceives InHdrErrors InAddrErrors ForwDatagrams InUnknownProtos InDiscards InDelivers OutRequests OutDiscards OutNoRoutes ReasmTimeout ReasmReqds ReasmOKs ReasmFails FragOKs FragFails FragCreates\n"
    "Ip: 1 64 1000 1 2 3 0 4 990 800 0 0 0 0 5 0 0 0 6\n"
    "Icmp: InMsgs InErrors InCsumErrors InDestUnreachs InTimeExcds InParmProbs InSrcQuenchs InRedirects InEchos InEchoReps InTimestamps InTimestampReps InAddrMasks InAddrMaskReps OutMsgs OutErrors OutDestUnreachs OutTimeExcds OutParmProbs OutSrcQuenchs OutRedirects OutEchos OutEchoReps OutTimestamps OutTimestampReps OutAddrMasks OutAddrMaskReps\n"
    "Icmp: 40 1 0 30 0 0 0 0 9 0 0 0 0 0 20 0 11 0 0 0 0 0 9 0 0 0 0\n"
    "Tcp: RtoAlgorithm RtoMin RtoMax MaxConn ActiveOpens PassiveOpens AttemptFails EstabResets CurrEstab InSegs OutSegs RetransSegs InErrs OutRsts InCsumErrors\n"
    "Tcp: 1 200 120000 -1 50 60 7 8 3 5000 4000 40 0 12 0\n"
    "Udp: InDatagrams NoPorts InErrors OutDatagrams RcvbufErrors SndbufErrors InCsumErrors IgnoredMulti\n"
    "Udp: 300 20 2 310 1 0 0 0\n";
const std::string kNetstat =
    "TcpExt: SyncookiesSent ListenOverflows ListenDrops TW\n"
    "TcpExt: 0 4 5 100\n"
    "IpExt: InNoRoutes InOctets OutOctets\n"
    "IpExt: 0 123456 654321\n";
const std::string kSnmp6 =
    "Ip6InReceives                   \t70\n"
    "Ip6OutRequests                  \t80\n"
    "Icmp6InMsgs                     \t6\n"
    "Icmp6OutMsgs                    \t7\n"
    "Udp6InDatagrams                 \t25\n"
    "Udp6NoPorts                     \t3\n";
const std::string kSockstat =
    "sockets: used 200\n"
    "TCP: inuse 10 orphan 1 tw 30 alloc 12 mem 5\n"
    "UDP: inuse 4 mem 2\n"
    "UDPLITE: inuse 0\n"
    "RAW: inuse 1\n"
    "FRAG: inuse 0 memory 0\n";
const std::string kSockstat6 =
    "TCP6: inuse 6\n"
    "UDP6: inuse 2\n"
    "UDPLITE6: inuse 0\n"
    "RAW6: inuse 0\n"
    "FRAG6: inuse 0 memory 0\n";

struct Probe {
    const char* object;
    const char* counter;
};
constexpr Probe kTcpSegments{"TCP", "Segments Sent/sec"};
constexpr Probe kListenDrops{"TCP", "Listen Drops/sec"};
constexpr Probe kUdpIn{"UDPv4", "Datagrams Received/sec"};
constexpr Probe kUdpRcvbuf{"UDPv4", "Receive Buffer Errors/sec"};
constexpr Probe kIpIn{"IPv4", "Datagrams Received/sec"};
constexpr Probe kIcmpIn{"ICMP", "Messages Received/sec"};
constexpr Probe kIp6In{"IPv6", "Datagrams Received/sec"};
constexpr Probe kUdp6In{"UDPv6", "Datagrams Received/sec"};
constexpr Probe kIcmp6In{"ICMPv6", "Messages Received/sec"};
constexpr Probe kTcpInUse{"Sockets", "TCP In Use"};
constexpr Probe kTimeWait{"Sockets", "TCP Time Wait"};
constexpr Probe kProbes[] = {kTcpSegments, kListenDrops, kUdpIn, kUdpRcvbuf, kIpIn, kIcmpIn,
                             kIp6In, kUdp6In, kIcmp6In, kTcpInUse, kTimeWait};

TEST(KernelShapes, AMissingOrDamagedFieldFailsItsOwnCountersAlone) {
    const struct {
        const char* what;
        const char* path;  // the file replaced
        std::string text;  // empty: the file does not exist
        int error = 0;     // or: reading it fails so
        std::vector<std::string> invalid;  // of kProbes, "Object" or "Object\\Counter", that read invalid data
        double tcpInUse = 16;  // TCP + TCP6 inuse
    } cases[] = {
        {"the common shape", "/proc/net/snmp", kSnmp, 0, {}},
        {"a kernel of the 2.6 days (no buffer errors for UDP)", "/proc/net/snmp",
         "Tcp: ActiveOpens OutSegs\nTcp: 1 4000\nUdp: InDatagrams NoPorts InErrors OutDatagrams\nUdp: 300 20 2 310\n"
         "Ip: InReceives\nIp: 1000\nIcmp: InMsgs\nIcmp: 40\n",
         0, {"UDPv4\\Receive Buffer Errors/sec"}},
        {"a Tcp value line one short", "/proc/net/snmp",
         kSnmp.substr(0, kSnmp.find("Tcp: 1 200")) + "Tcp: 1 200 120000 -1 50 60 7 8 3 5000 4000 40 0 12\n" +
             kSnmp.substr(kSnmp.find("Udp:")),
         0, {"TCP\\Segments Sent/sec"}},
        {"the Udp value line cut", "/proc/net/snmp", kSnmp.substr(0, kSnmp.size() - 6), 0,
         {"UDPv4"}},
        {"no netstat", "/proc/net/netstat", "", 0, {"TCP\\Listen Drops/sec"}},
        {"IPv6 disabled by sysctl: no Ip6 lines", "/proc/net/snmp6",
         kSnmp6.substr(kSnmp6.find("Icmp6InMsgs")), 0, {"IPv6"}},
        {"a kernel without IPv6: no snmp6", "/proc/net/snmp6", "", 0, {"IPv6", "UDPv6", "ICMPv6"}},
        {"a kernel without IPv6: no sockstat6", "/proc/net/sockstat6", "", 0, {}, 10},
        {"sockstat6 unreadable", "/proc/net/sockstat6", "", EACCES, {"Sockets\\TCP In Use"}},
        {"sockstat6 of nothing we know", "/proc/net/sockstat6", "UDPLITE6: inuse 0\n", 0, {"Sockets\\TCP In Use"}},
        {"sockstat without tw", "/proc/net/sockstat", "sockets: used 200\nTCP: inuse 10 orphan 1\n", 0,
         {"Sockets\\TCP Time Wait"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto fake = std::make_shared<testing::FakeReader>();
        fake->files = {{"/proc/net/snmp", kSnmp},
                       {"/proc/net/netstat", kNetstat},
                       {"/proc/net/snmp6", kSnmp6},
                       {"/proc/net/sockstat", kSockstat},
                       {"/proc/net/sockstat6", kSockstat6}};
        if (c.error != 0) fake->errors[c.path] = c.error;
        else if (c.text.empty()) fake->files.erase(c.path);
        else fake->files[c.path] = c.text;
        NetQuery q(fake);
        std::vector<PDH_HCOUNTER> handles;
        for (const Probe& p : kProbes) handles.push_back(q.add(p.object, p.counter));
        q.collect();
        for (std::size_t i = 0; i < std::size(kProbes); ++i) {
            const Probe& p = kProbes[i];
            const std::string path = std::string(p.object) + "\\" + p.counter;
            bool expectInvalid = false;
            for (const std::string& name : c.invalid) expectInvalid = expectInvalid || name == p.object || name == path;
            SCOPED_TRACE(path);
            EXPECT_EQ(q.status(handles[i]), expectInvalid ? PDH_CSTATUS_INVALID_DATA : PDH_CSTATUS_VALID_DATA);
        }
        if (q.status(handles[9]) == PDH_CSTATUS_VALID_DATA) {
            EXPECT_EQ(q.value(handles[9]), c.tcpInUse);
        }
    }
}

TEST(KernelShapes, FirstValuesAreSinceBootFromTheRightField) {
    auto fake = std::make_shared<testing::FakeReader>();
    fake->files = {{"/proc/net/snmp", kSnmp}, {"/proc/net/netstat", kNetstat}, {"/proc/net/snmp6", kSnmp6},
                   {"/proc/net/sockstat", kSockstat}, {"/proc/net/sockstat6", kSockstat6}};
    fake->now = 100.0;
    NetQuery q(fake);
    const struct {
        Probe probe;
        double expected;
    } cases[] = {
        {{"TCP", "Segments/sec"}, (5000.0 + 4000) / 100},
        {{"TCP", "Segments Retransmitted/sec"}, 40.0 / 100},
        {{"TCP", "% Segments Retransmitted"}, 100.0 * 40 / 4000},
        {{"TCP", "Connections Established"}, 3},
        {{"TCP", "Connections Passive/sec"}, 60.0 / 100},
        {{"TCP", "Connections Reset/sec"}, 8.0 / 100},
        {{"TCP", "Listen Overflows/sec"}, 4.0 / 100},
        {{"UDPv4", "Datagrams/sec"}, 610.0 / 100},
        {{"UDPv4", "Datagrams No Port/sec"}, 20.0 / 100},
        {{"UDPv4", "Datagrams Received Errors/sec"}, 2.0 / 100},
        {{"UDPv6", "Datagrams No Port/sec"}, 3.0 / 100},
        {{"IPv4", "Datagrams Forwarded/sec"}, 3.0 / 100},
        {{"IPv4", "Datagrams Received Header Errors/sec"}, 1.0 / 100},
        {{"IPv4", "Datagrams Received Address Errors/sec"}, 2.0 / 100},
        {{"IPv4", "Datagrams Received Discarded/sec"}, 4.0 / 100},
        {{"IPv4", "Fragments Reassembled/sec"}, 5.0 / 100},
        {{"IPv4", "Fragments Created/sec"}, 6.0 / 100},
        {{"IPv6", "Datagrams/sec"}, 150.0 / 100},
        {{"ICMP", "Received Destination Unreachable/sec"}, 30.0 / 100},
        {{"ICMP", "Sent Destination Unreachable/sec"}, 11.0 / 100},
        {{"ICMP", "Received Echo/sec"}, 9.0 / 100},
        {{"ICMP", "Messages Received Errors/sec"}, 1.0 / 100},
        {{"ICMPv6", "Messages/sec"}, 13.0 / 100},
        {{"Sockets", "Sockets In Use"}, 200},
        {{"Sockets", "UDP In Use"}, 6},
        {{"Sockets", "RAW In Use"}, 1},
        {{"Sockets", "TCP Orphaned"}, 1},
    };
    std::vector<PDH_HCOUNTER> handles;
    for (const auto& c : cases) handles.push_back(q.add(c.probe.object, c.probe.counter));
    q.collect();
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(std::string(cases[i].probe.object) + "\\" + cases[i].probe.counter);
        EXPECT_NEAR(q.value(handles[i]), cases[i].expected, 1e-9);
    }
    // Only the files a query's counters need are read, each once per collect.
    EXPECT_EQ(fake->readsOf("/proc/net/snmp"), 1);
    EXPECT_EQ(fake->readsOf("/proc/net/sockstat6"), 1);
}

TEST(KernelShapes, ThirtyTwoBitWrapsCountOnAndResetsAreInvalid) {
    auto fake = std::make_shared<testing::FakeReader>();
    const auto tcp = [](const std::string& outSegs, const std::string& retrans) {
        return "Tcp: OutSegs RetransSegs InSegs\nTcp: " + outSegs + " " + retrans + " 1\n";
    };
    fake->files["/proc/net/snmp"] = tcp("4294967290", "4294967295");
    fake->now = 10.0;
    NetQuery q(fake);
    PDH_HCOUNTER sent = q.add("TCP", "Segments Sent/sec");
    PDH_HCOUNTER share = q.add("TCP", "% Segments Retransmitted");
    q.collect();
    EXPECT_FALSE(fake->readsOf("/proc/net/netstat") + fake->readsOf("/proc/net/sockstat") > 0);

    // A 32-bit kernel wrapped both: 16 sent, 2 of them retransmissions.
    fake->files["/proc/net/snmp"] = tcp("10", "1");
    fake->now = 12.0;
    q.collect();
    EXPECT_NEAR(q.value(sent), 16 / 2.0, 1e-9);
    EXPECT_NEAR(q.value(share), 100.0 * 2 / 16, 1e-9);

    // Nothing sent: 0 %, not a division by zero.
    fake->now = 13.0;
    q.collect();
    EXPECT_EQ(q.value(share), 0.0);

    // From above 2^32 a drop is a reset (a new namespace, a module reload): no value.
    fake->files["/proc/net/snmp"] = tcp("8589934592", "8589934592");
    fake->now = 14.0;
    q.collect();
    fake->files["/proc/net/snmp"] = tcp("20", "3");
    fake->now = 15.0;
    q.collect();
    EXPECT_EQ(q.status(sent), PDH_CSTATUS_INVALID_DATA);
    EXPECT_EQ(q.status(share), PDH_CSTATUS_INVALID_DATA);
    fake->files["/proc/net/snmp"] = tcp("30", "4");
    fake->now = 16.0;
    q.collect();
    EXPECT_NEAR(q.value(sent), 10.0, 1e-9);
    EXPECT_NEAR(q.value(share), 10.0, 1e-9);
}

}  // namespace
}  // namespace vantorel::pdh
