// The exporter's one Collectable: on each scrape it lists the selected
// instances, collects them in the query it keeps between scrapes and turns
// each counter's raw value into a sample. Nothing is sampled between scrapes.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <prometheus/collectable.h>
#include <prometheus/metric_family.h>

#include "cli/serve/library_access.h"
#include "cli/serve/metric_naming.h"
#include "cli/serve/selection.h"

namespace vantorel::cli::serve {

class CatalogueCollector final : public prometheus::Collectable {
public:
    CatalogueCollector(LibraryAccess& library, Selection selection);

    std::vector<prometheus::MetricFamily> Collect() const override;

private:
    // A counter value left out for any reason but its instance having gone.
    void countError() const { errors_.fetch_add(1, std::memory_order_relaxed); }

    // Freed with the library: a query's handles are the library's to reclaim.
    struct KeptQuery {
        std::mutex mutex;
        PDH_HQUERY query = nullptr;
        std::unordered_map<std::string, PDH_HCOUNTER> counters;  // by path
    };

    LibraryAccess& library_;
    Selection selection_;
    std::vector<FamilySpec> families_;
    std::unique_ptr<KeptQuery> kept_;
    mutable std::atomic<std::uint64_t> errors_{0};
};

}  // namespace vantorel::cli::serve
