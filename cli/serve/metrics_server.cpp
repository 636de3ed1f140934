#include "cli/serve/metrics_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <CivetServer.h>
#include <civetweb.h>
#include <prometheus/exposer.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "cli/serve/basic_auth.h"
#include "cli/serve/openmetrics.h"

namespace vantorel::cli::serve {
namespace {

struct Hook {
    std::shared_ptr<prometheus::Collectable> collector;
    std::optional<std::string> credentials;
};

std::mutex hookMutex;
std::shared_ptr<const Hook> currentHook;

std::shared_ptr<const Hook> hook() {
    const std::lock_guard lock(hookMutex);
    return currentHook;
}

void writeAll(mg_connection* conn, const std::string& text) { mg_write(conn, text.data(), text.size()); }

// Runs before the Exposer's handler; non-zero means answered here.
int beginRequest(mg_connection* conn) {
    const std::shared_ptr<const Hook> h = hook();
    if (h == nullptr) return 0;
    if (h->credentials && !authorizes(mg_get_header(conn, "Authorization"), *h->credentials)) {
        writeAll(conn,
                 "HTTP/1.1 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"vantorel\"\r\n"
                 "Content-Length: 0\r\nConnection: close\r\n\r\n");
        return 401;
    }
    const mg_request_info* request = mg_get_request_info(conn);
    const char* accept = mg_get_header(conn, "Accept");
    if (request == nullptr || request->local_uri == nullptr || request->request_method == nullptr ||
        std::strcmp(request->local_uri, "/metrics") != 0 || std::strcmp(request->request_method, "GET") != 0 ||
        accept == nullptr || !acceptsOpenMetrics(accept))
        return 0;
    const std::string body = toOpenMetrics(h->collector->Collect());
    writeAll(conn, "HTTP/1.1 200 OK\r\nContent-Type: " + std::string(kOpenMetricsType) +
                       "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n");
    writeAll(conn, body);
    return 200;
}

struct Endpoint {
    sockaddr_storage address{};
    socklen_t length = 0;
    std::string host;  // as civetweb writes it: 127.0.0.1 or [::1]
};

Endpoint parseListen(const std::string& listen) {
    const std::size_t colon = listen.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == listen.size())
        throw ListenError("cannot listen on \"" + listen + "\": give ADDRESS:PORT, such as 127.0.0.1:9479");
    std::string host = listen.substr(0, colon);
    const std::string portText = listen.substr(colon + 1);
    if (portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos ||
        std::stoul(portText) > 65535)
        throw ListenError("cannot listen on \"" + listen + "\": " + portText + " is not a port number");
    const auto port = static_cast<std::uint16_t>(std::stoul(portText));
    Endpoint e;
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&e.address);
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        if (inet_pton(AF_INET6, host.substr(1, host.size() - 2).c_str(), &v6->sin6_addr) == 1) {
            e.length = sizeof(sockaddr_in6);
            e.host = host;
            return e;
        }
    } else {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&e.address);
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        if (inet_pton(AF_INET, host.c_str(), &v4->sin_addr) == 1) {
            e.length = sizeof(sockaddr_in);
            e.host = host;
            return e;
        }
    }
    throw ListenError("cannot listen on \"" + listen + "\": " + host +
                      " is not an IPv4 address or a bracketed IPv6 address");
}

// Binds once ourselves, for the kernel's reason when it fails (the web server
// only says that it failed) and for the port when 0 asks for any free one.
std::uint16_t probe(const Endpoint& e, const std::string& listen) {
    const int fd = ::socket(e.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw ListenError("cannot listen on " + listen + ": " + std::strerror(errno));
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_storage bound = e.address;
    socklen_t length = e.length;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&e.address), e.length) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        const int error = errno;
        ::close(fd);
        throw ListenError("cannot listen on " + listen + ": " + std::strerror(error));
    }
    ::close(fd);
    return ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6*>(&bound)->sin6_port
                                              : reinterpret_cast<const sockaddr_in*>(&bound)->sin_port);
}

}  // namespace

MetricsServer::MetricsServer(const std::string& listen, std::shared_ptr<prometheus::Collectable> collector,
                             std::optional<std::string> credentials)
    : collector_(std::move(collector)) {
    const Endpoint endpoint = parseListen(listen);
    address_ = endpoint.host + ":" + std::to_string(probe(endpoint, listen));
    {
        const std::lock_guard lock(hookMutex);
        currentHook = std::make_shared<const Hook>(Hook{collector_, std::move(credentials)});
    }
    static CivetCallbacks callbacks = [] {
        CivetCallbacks c{};
        c.begin_request = beginRequest;
        return c;
    }();
    try {
        // No keep-alive: an idle connection would hold a worker. A client that
        // sends nothing is dropped after the request timeout.
        exposer_ = std::make_unique<prometheus::Exposer>(
            std::vector<std::string>{"listening_ports", address_, "num_threads", "8", "request_timeout_ms", "5000",
                                     "enable_keep_alive", "no"},
            &callbacks);
    } catch (const std::exception& e) {
        throw ListenError("cannot listen on " + address_ + ": " + e.what());
    }
    exposer_->RegisterCollectable(collector_);
}

MetricsServer::~MetricsServer() {
    exposer_.reset();  // stops and joins the workers before the hook goes
    const std::lock_guard lock(hookMutex);
    currentHook.reset();
}

}  // namespace vantorel::cli::serve
