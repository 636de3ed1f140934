#include "cli/serve_command.h"

#include <chrono>
#include <memory>
#include <optional>

#include "cli/counter_pattern.h"
#include "cli/display_text.h"
#include "cli/exit_codes.h"
#include "cli/serve/basic_auth.h"
#include "cli/serve/catalogue_collector.h"
#include "cli/serve/library_access.h"
#include "cli/serve/metrics_server.h"

namespace vantorel::cli {
namespace {

bool parsePatterns(const std::vector<std::string>& texts, std::vector<CounterPattern>& out, std::ostream& err) {
    bool ok = true;
    for (const std::string& text : texts) {
        if (std::optional<CounterPattern> p = parseCounterPattern(text)) {
            out.push_back(std::move(*p));
        } else {
            err << "vantorel-cli: \"" << displayText(text) << "\" is not a counter pattern such as \\Object(*)\\*\n";
            ok = false;
        }
    }
    return ok;
}

}  // namespace

int serveMetrics(pdh::Library& library, const ServeOptions& options, Pacer& pacer, std::ostream& out,
                 std::ostream& err) {
    std::vector<CounterPattern> includes;
    std::vector<CounterPattern> excludes;
    if (!parsePatterns(options.includes, includes, err) || !parsePatterns(options.excludes, excludes, err))
        return kExitUsage;
    std::optional<std::string> credentials;
    if (!options.basicAuthFile.empty()) {
        std::string error;
        credentials = serve::loadCredentials(options.basicAuthFile, error);
        if (!credentials) {
            err << "vantorel-cli: " << displayText(error) << '\n';
            return kExitUsage;
        }
    }

    serve::LibraryAccess access(library);
    auto collector = std::make_shared<serve::CatalogueCollector>(
        access, serve::Selection(std::move(includes), std::move(excludes)));
    std::unique_ptr<serve::MetricsServer> server;
    try {
        server = std::make_unique<serve::MetricsServer>(options.listen, collector, std::move(credentials));
    } catch (const serve::ListenError& e) {
        err << "vantorel-cli: " << displayText(e.what()) << '\n';
        return kExitUsage;
    }
    out << "serving http://" << server->address() << "/metrics" << std::endl;
    while (pacer.waitUntil(pacer.now() + std::chrono::hours(1))) {
    }
    server.reset();  // answers in flight finish before the library goes
    return kExitOk;
}

}  // namespace vantorel::cli
