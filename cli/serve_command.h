// `serve`: an HTTP endpoint /metrics that Prometheus scrapes; each scrape
// collects the catalogue's counters afresh.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/pacer.h"
#include "platform/pdh/engine/library.h"

namespace vantorel::cli {

inline constexpr const char* kDefaultListen = "127.0.0.1:9479";

struct ServeOptions {
    std::string listen = kDefaultListen;
    std::vector<std::string> includes;
    std::vector<std::string> excludes;
    std::string basicAuthFile;  // empty: no authentication
};

// Writes "serving http://ADDRESS/metrics" on `out` once listening, and serves
// until the pacer reports a stop (kExitOk). A pattern that is not a counter
// path, an unreadable credentials file, or an address that cannot be bound is
// named on `err` with the reason, with kExitUsage.
int serveMetrics(pdh::Library& library, const ServeOptions& options, Pacer& pacer, std::ostream& out,
                 std::ostream& err);

}  // namespace vantorel::cli
