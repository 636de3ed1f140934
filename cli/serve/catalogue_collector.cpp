#include "cli/serve/catalogue_collector.h"

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "platform/pdh/enumeration.h"

namespace vantorel::cli::serve {
namespace {

using prometheus::ClientMetric;
using prometheus::MetricFamily;

struct Series {
    std::size_t family;
    const std::string* instance;
    PDH_HCOUNTER handle;
};

MetricFamily selfFamily(const char* name, const char* help, prometheus::MetricType type, double value) {
    MetricFamily f{name, help, type, {}};
    ClientMetric m;
    (type == prometheus::MetricType::Counter ? m.counter.value : m.gauge.value) = value;
    f.metric.push_back(std::move(m));
    return f;
}

}  // namespace

CatalogueCollector::CatalogueCollector(LibraryAccess& library, Selection selection)
    : library_(library),
      selection_(std::move(selection)),
      families_(exportedFamilies()),
      kept_(std::make_unique<KeptQuery>()) {}

std::vector<MetricFamily> CatalogueCollector::Collect() const {
    const auto started = std::chrono::steady_clock::now();
    std::vector<MetricFamily> out;
    out.reserve(families_.size() + 2);
    for (const FamilySpec& spec : families_)
        out.push_back(MetricFamily{spec.name, spec.help,
                                   spec.isCounter ? prometheus::MetricType::Counter : prometheus::MetricType::Gauge,
                                   {}});
    try {
        library_.use([&](pdh::Library& library) {
            // One query lives from scrape to scrape, so its kernel files stay open
            // and its counters are added once; scrapes take turns on it.
            const std::lock_guard lock(kept_->mutex);
            if (kept_->query == nullptr && library.openQuery(0, &kept_->query) != ERROR_SUCCESS) return countError();
            // Instances listed once per object, for all of its families.
            std::map<pdh::ObjectId, std::vector<std::string>> instances;
            std::vector<Series> series;
            for (std::size_t f = 0; f < families_.size(); ++f) {
                const pdh::CounterDef& counter = *families_[f].counter;
                const pdh::ObjectDef& object = pdh::objectDef(counter.object);
                if (!selection_.mayExport(object)) continue;
                auto listed = instances.find(object.id);
                if (listed == instances.end()) {
                    std::vector<std::string> names{""};
                    if (object.hasInstances) names = library.enumeration().instances(object.name);
                    listed = instances.emplace(object.id, std::move(names)).first;
                }
                const bool several = listed->second.size() > 1;
                for (const std::string& instance : listed->second) {
                    if (!selection_.exports(object, instance, several, counter)) continue;
                    const std::string path =
                        pdh::makeCounterPath(object.name, instance, counter.name, object.hasInstances);
                    PDH_HCOUNTER& handle = kept_->counters[path];
                    if (handle == nullptr && library.addCounter(kept_->query, path.c_str(), 0, &handle) != ERROR_SUCCESS) {
                        kept_->counters.erase(path);
                        countError();
                        continue;
                    }
                    series.push_back({f, &instance, handle});
                }
            }
            if (library.collect(kept_->query) != ERROR_SUCCESS) return countError();
            for (const Series& s : series) {
                PDH_RAW_COUNTER raw{};
                library.rawValue(s.handle, nullptr, &raw);
                // A counter that cannot be read is left out, never shown as 0.
                if (raw.CStatus != PDH_CSTATUS_VALID_DATA) {
                    if (raw.CStatus != PDH_CSTATUS_NO_INSTANCE) countError();
                    continue;
                }
                const double value = static_cast<double>(raw.FirstValue) / static_cast<double>(raw.SecondValue);
                if (!std::isfinite(value)) continue;
                const FamilySpec& spec = families_[s.family];
                ClientMetric m;
                if (!spec.label.empty()) m.label.push_back({spec.label, *s.instance});
                (spec.isCounter ? m.counter.value : m.gauge.value) = value;
                out[s.family].metric.push_back(std::move(m));
            }
            // Instances that went away leave counters behind: start afresh once
            // they outnumber the live ones, so the query does not grow for ever.
            if (kept_->counters.size() > 2 * series.size() + 256) {
                library.closeQuery(kept_->query);
                kept_->query = nullptr;
                kept_->counters.clear();
            }
        });
    } catch (const std::bad_alloc&) {
        countError();
    }
    // Families without a sample this scrape are left out: promtool wants none empty.
    std::erase_if(out, [](const MetricFamily& f) { return f.metric.empty(); });
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    out.push_back(selfFamily("vantorel_scrape_duration_seconds", "Seconds the exporter spent collecting this scrape.",
                             prometheus::MetricType::Gauge, took.count()));
    out.push_back(selfFamily("vantorel_scrape_errors_total",
                             "Counter values left out of scrapes because they could not be read (an instance "
                             "that went away between listing and collecting is not counted), since the start.",
                             prometheus::MetricType::Counter, static_cast<double>(errors_.load())));
    return out;
}

}  // namespace vantorel::cli::serve
