// The HTTP side: prometheus-cpp's pull Exposer serves /metrics in the 0.0.4
// text; a request hook in front of it checks basic authentication and answers
// a scraper that asks for OpenMetrics. One server per process.
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include <prometheus/collectable.h>

namespace prometheus {
class Exposer;
}

namespace vantorel::cli::serve {

// Why the address cannot be served, in words for the user.
class ListenError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class MetricsServer {
public:
    // `listen` is IPV4:PORT or [IPV6]:PORT; port 0 takes a free one.
    MetricsServer(const std::string& listen, std::shared_ptr<prometheus::Collectable> collector,
                  std::optional<std::string> credentials);
    ~MetricsServer();
    MetricsServer(const MetricsServer&) = delete;
    MetricsServer& operator=(const MetricsServer&) = delete;

    // What it listens on, port resolved: "127.0.0.1:9479".
    const std::string& address() const { return address_; }

private:
    std::string address_;
    std::shared_ptr<prometheus::Collectable> collector_;
    std::unique_ptr<prometheus::Exposer> exposer_;
};

}  // namespace vantorel::cli::serve
