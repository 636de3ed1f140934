// The exporter's one Collectable: on each scrape it lists the selected
// instances, collects them in a query of their own and turns each counter's raw
// value into a sample. Nothing is sampled between scrapes.
#pragma once

#include <atomic>
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

    LibraryAccess& library_;
    Selection selection_;
    std::vector<FamilySpec> families_;
    mutable std::atomic<std::uint64_t> errors_{0};
};

}  // namespace vantorel::cli::serve
