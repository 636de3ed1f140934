// Loopback traffic of a known size against this machine's own counters. Where
// the test may, it runs in a network namespace of its own, in which nothing
// else moves the counters, and checks that the counters the traffic has nothing
// to do with stayed still; elsewhere it checks only the lower bounds.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {
namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Moves this process (its main thread, which /proc/self/net follows) into a new
// network namespace with its loopback up, and back again on destruction.
class PrivateNetwork {
public:
    PrivateNetwork() : home_(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)) {
        if (home_.get() < 0 || ::unshare(CLONE_NEWNET) != 0) return;
        entered_ = true;
        Fd s(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
        ifreq ifr{};
        std::strncpy(ifr.ifr_name, "lo", IFNAMSIZ - 1);
        up_ = s.get() >= 0 && ::ioctl(s.get(), SIOCGIFFLAGS, &ifr) == 0 &&
              (ifr.ifr_flags = static_cast<short>(ifr.ifr_flags | IFF_UP), ::ioctl(s.get(), SIOCSIFFLAGS, &ifr) == 0);
    }
    ~PrivateNetwork() {
        if (entered_) {
            EXPECT_EQ(::setns(home_.get(), CLONE_NEWNET), 0) << std::strerror(errno);
        }
    }
    bool isolated() const { return entered_ && up_; }
    bool failed() const { return entered_ && !up_; }

private:
    Fd home_;
    bool entered_ = false;
    bool up_ = false;
};

// The live files with a clock the test sets, so that a rate over one second is
// exactly the count of that second.
class SetClockReader final : public SystemReader {
public:
    double now = 100.0;
    std::unique_ptr<OpenFile> open(const std::string& path, int& error) override { return posix_->open(path, error); }
    int readFile(const std::string& path, std::string& buffer) override { return posix_->readFile(path, buffer); }
    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        return posix_->listDirectory(path, names);
    }
    int fileSystemStats(const std::string& path, FileSystemStats& out) override {
        return posix_->fileSystemStats(path, out);
    }
    double bootSeconds() override { return now; }

private:
    std::shared_ptr<SystemReader> posix_ = makePosixReader();
};

sockaddr_storage loopback(int family, std::uint16_t port, socklen_t& length) {
    sockaddr_storage a{};
    if (family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&a);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        length = sizeof(sockaddr_in);
    } else {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&a);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        v6->sin6_addr = in6addr_loopback;
        length = sizeof(sockaddr_in6);
    }
    return a;
}

// A port of `type` on loopback that nobody is bound to now.
std::uint16_t closedPort(int family, int type) {
    Fd s(::socket(family, type | SOCK_CLOEXEC, 0));
    socklen_t length = 0;
    sockaddr_storage a = loopback(family, 0, length);
    if (s.get() < 0 || ::bind(s.get(), reinterpret_cast<sockaddr*>(&a), length) != 0) return 0;
    if (::getsockname(s.get(), reinterpret_cast<sockaddr*>(&a), &length) != 0) return 0;
    return ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in*>(&a)->sin_port
                                   : reinterpret_cast<sockaddr_in6*>(&a)->sin6_port);
}

// Sends `count` datagrams to a closed port and waits, for each, for the port
// unreachable to come back as ECONNREFUSED: the kernel has counted it then.
int datagramsRefused(int family, int count) {
    const std::uint16_t port = closedPort(family, SOCK_DGRAM);
    Fd s(::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    socklen_t length = 0;
    const sockaddr_storage a = loopback(family, port, length);
    if (port == 0 || s.get() < 0 || ::connect(s.get(), reinterpret_cast<const sockaddr*>(&a), length) != 0) return 0;
    const timeval wait{2, 0};
    ::setsockopt(s.get(), SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    int refused = 0;
    for (int i = 0; i < count; ++i) {
        char byte = 'x';
        if (::send(s.get(), &byte, 1, 0) != 1) break;
        if (::recv(s.get(), &byte, 1, 0) < 0 && errno == ECONNREFUSED) ++refused;
    }
    return refused;
}

struct Connection {
    std::size_t received = 0;
    bool refusedConnect = false;
};

// One TCP connection over IPv4 loopback carrying `bytes`, closed by the client
// first (so the client's side waits in time-wait), then a connect to a closed
// port. `whileOpen` runs while the connection is established.
template <class WhileOpen>
Connection tcpTraffic(std::size_t bytes, WhileOpen whileOpen) {
    Connection result;
    Fd listener(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    socklen_t length = 0;
    sockaddr_storage a = loopback(AF_INET, 0, length);
    if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&a), length) != 0 || ::listen(listener.get(), 4) != 0 ||
        ::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&a), &length) != 0)
        return result;
    Fd client(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (::connect(client.get(), reinterpret_cast<sockaddr*>(&a), length) != 0) return result;
    Fd server(::accept4(listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    whileOpen();
    std::thread reader([&] {
        char buffer[65536];
        for (ssize_t n; (n = ::recv(server.get(), buffer, sizeof buffer, 0)) > 0;) result.received += static_cast<std::size_t>(n);
    });
    const std::string payload(bytes, 'v');
    std::size_t sent = 0;
    while (sent < bytes) {
        const ssize_t n = ::send(client.get(), payload.data() + sent, bytes - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    client.reset();
    reader.join();
    server.reset();
    listener.reset();

    const std::uint16_t port = closedPort(AF_INET, SOCK_STREAM);
    Fd refused(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_storage closed = loopback(AF_INET, port, length);
    result.refusedConnect = port != 0 && ::connect(refused.get(), reinterpret_cast<const sockaddr*>(&closed), length) != 0 &&
                            errno == ECONNREFUSED;
    return result;
}

class Counters {
public:
    explicit Counters(std::shared_ptr<SystemReader> reader) : lib_("/", "/", std::move(reader)) {
        EXPECT_EQ(lib_.openQuery(0, &query_), ERROR_SUCCESS);
    }
    void add(const std::string& object, const std::string& counter) {
        const std::string path = "\\" + object + "\\" + counter;
        PDH_HCOUNTER c = nullptr;
        ASSERT_EQ(lib_.addCounter(query_, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        handles_[path] = c;
    }
    void collect() { ASSERT_EQ(lib_.collect(query_), ERROR_SUCCESS); }
    double operator()(const std::string& path) {
        PDH_FMT_COUNTERVALUE v{};
        EXPECT_EQ(lib_.formattedValue(handles_.at(path), PDH_FMT_DOUBLE, nullptr, &v), ERROR_SUCCESS) << path;
        return v.doubleValue;
    }
    const std::map<std::string, PDH_HCOUNTER>& all() const { return handles_; }
    Library& library() { return lib_; }

private:
    Library lib_;
    PDH_HQUERY query_ = nullptr;
    std::map<std::string, PDH_HCOUNTER> handles_;
};

constexpr const char* kObjects[] = {"Sockets", "TCP", "UDPv4", "UDPv6", "IPv4", "IPv6", "ICMP", "ICMPv6"};

TEST(LiveNetworkStack, LoopbackTrafficMovesTheCountersItShould) {
    PrivateNetwork network;
    ASSERT_FALSE(network.failed()) << "a new network namespace whose loopback would not come up";
    const bool isolated = network.isolated();
    const bool ipv6 = ::access("/proc/net/snmp6", R_OK) == 0;

    auto clock = std::make_shared<SetClockReader>();
    Counters rates(clock);
    Counters gauges(clock);
    // Every counter of the eight objects, so that the first values are checked too.
    for (const ObjectInfo& object : rates.library().enumeration().objects()) {
        for (const char* name : kObjects) {
            if (object.name != name) continue;
            for (const CounterInfo& counter : object.counters) {
                rates.add(object.name, counter.name);
            }
        }
    }
    gauges.add("TCP", "Connections Established");
    gauges.add("Sockets", "TCP In Use");
    gauges.add("Sockets", "TCP Time Wait");

    clock->now = 100.0;
    rates.collect();
    for (const auto& [path, handle] : rates.all()) {
        if (!ipv6 && (path.starts_with("\\IPv6") || path.starts_with("\\UDPv6") || path.starts_with("\\ICMPv6"))) continue;
        PDH_FMT_COUNTERVALUE v{};
        rates.library().formattedValue(handle, PDH_FMT_DOUBLE, nullptr, &v);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA) << path << ": the first value is the one since boot";
        EXPECT_GE(v.doubleValue, 0.0) << path;
    }

    constexpr std::size_t kBytes = 3 * 1024 * 1024;
    constexpr int kDatagrams = 7;
    double establishedWhileOpen = 0;
    double tcpInUseWhileOpen = 0;
    const Connection tcp = tcpTraffic(kBytes, [&] {
        clock->now = 100.5;
        gauges.collect();
        establishedWhileOpen = gauges("\\TCP\\Connections Established");
        tcpInUseWhileOpen = gauges("\\Sockets\\TCP In Use");
    });
    ASSERT_EQ(tcp.received, kBytes);
    ASSERT_TRUE(tcp.refusedConnect);
    ASSERT_EQ(datagramsRefused(AF_INET, kDatagrams), kDatagrams);
    const bool v6Traffic = ipv6 && datagramsRefused(AF_INET6, kDatagrams) == kDatagrams;

    clock->now = 101.0;  // one second: each rate below is the count of the interval
    rates.collect();
    gauges.collect();

    // Both ends of the connection, and the listener beside them.
    EXPECT_GE(establishedWhileOpen, 2.0);
    EXPECT_GE(tcpInUseWhileOpen, 3.0);
    EXPECT_GE(gauges("\\Sockets\\TCP Time Wait"), 1.0);

    // At least what was sent: a loopback segment carries at most 64 KiB.
    const double minSegments = std::ceil(static_cast<double>(kBytes) / 65536);
    EXPECT_GE(rates("\\TCP\\Segments Sent/sec"), minSegments);
    EXPECT_GE(rates("\\TCP\\Segments Received/sec"), minSegments);
    EXPECT_GE(rates("\\TCP\\Segments/sec"), 2 * minSegments);
    EXPECT_GE(rates("\\TCP\\Connections Active/sec"), 2.0);  // the connection and the refused one
    EXPECT_GE(rates("\\TCP\\Connections Passive/sec"), 1.0);
    EXPECT_GE(rates("\\TCP\\Connection Failures/sec"), 1.0);
    EXPECT_GE(rates("\\TCP\\Resets Sent/sec"), 1.0);
    EXPECT_GE(rates("\\UDPv4\\Datagrams No Port/sec"), kDatagrams);
    EXPECT_GE(rates("\\UDPv4\\Datagrams Sent/sec"), kDatagrams);
    EXPECT_GE(rates("\\ICMP\\Sent Destination Unreachable/sec"), kDatagrams);
    EXPECT_GE(rates("\\ICMP\\Received Destination Unreachable/sec"), kDatagrams);
    EXPECT_GE(rates("\\ICMP\\Messages/sec"), 2 * kDatagrams);
    // Each datagram, port unreachable and segment passed through IPv4 both ways.
    EXPECT_GE(rates("\\IPv4\\Datagrams Sent/sec"), 2 * kDatagrams + 1);
    EXPECT_GE(rates("\\IPv4\\Datagrams Received Delivered/sec"), 2 * kDatagrams + 1);
    if (v6Traffic) {
        EXPECT_GE(rates("\\UDPv6\\Datagrams No Port/sec"), kDatagrams);
        EXPECT_GE(rates("\\ICMPv6\\Sent Destination Unreachable/sec"), kDatagrams);
        EXPECT_GE(rates("\\ICMPv6\\Received Destination Unreachable/sec"), kDatagrams);
        EXPECT_GE(rates("\\IPv6\\Datagrams Sent/sec"), 2 * kDatagrams);
    }
    if (!isolated) return;

    // Alone in the namespace: the traffic's own counts, and nothing else moved.
    EXPECT_EQ(establishedWhileOpen, 2.0);
    EXPECT_EQ(tcpInUseWhileOpen, 3.0);
    EXPECT_EQ(rates("\\TCP\\Connections Active/sec"), 2.0);
    EXPECT_EQ(rates("\\TCP\\Connections Passive/sec"), 1.0);
    EXPECT_EQ(rates("\\TCP\\Connection Failures/sec"), 1.0);
    EXPECT_EQ(rates("\\TCP\\Connections Reset/sec"), 0.0);
    EXPECT_EQ(rates("\\TCP\\Listen Overflows/sec"), 0.0);
    EXPECT_EQ(rates("\\TCP\\Segments Received Errors/sec"), 0.0);
    EXPECT_EQ(rates("\\UDPv4\\Datagrams No Port/sec"), kDatagrams);
    EXPECT_EQ(rates("\\UDPv4\\Datagrams Sent/sec"), kDatagrams);
    EXPECT_EQ(rates("\\UDPv4\\Datagrams Received/sec"), 0.0);
    EXPECT_EQ(rates("\\UDPv4\\Receive Buffer Errors/sec"), 0.0);
    EXPECT_EQ(rates("\\ICMP\\Sent Destination Unreachable/sec"), kDatagrams);
    EXPECT_EQ(rates("\\ICMP\\Received Destination Unreachable/sec"), kDatagrams);
    EXPECT_EQ(rates("\\ICMP\\Received Echo/sec"), 0.0);
    EXPECT_EQ(rates("\\IPv4\\Datagrams Forwarded/sec"), 0.0);
    EXPECT_EQ(rates("\\IPv4\\Datagrams Received Header Errors/sec"), 0.0);
    if (v6Traffic) {
        EXPECT_EQ(rates("\\UDPv6\\Datagrams No Port/sec"), kDatagrams);
        EXPECT_EQ(rates("\\UDPv6\\Datagrams Received/sec"), 0.0);
        EXPECT_EQ(rates("\\ICMPv6\\Sent Destination Unreachable/sec"), kDatagrams);
    }
}

}  // namespace
}  // namespace vantorel::pdh
