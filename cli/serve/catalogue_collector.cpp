#include "cli/serve/catalogue_collector.h"

#include <chrono>
#include <cmath>
#include <map>
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

// The query of one scrape, closed however the scrape ends.
class ScrapeQuery {
public:
    explicit ScrapeQuery(pdh::Library& library) : library_(library) { library_.openQuery(0, &query_); }
    ~ScrapeQuery() {
        if (query_ != nullptr) library_.closeQuery(query_);
    }
    ScrapeQuery(const ScrapeQuery&) = delete;
    ScrapeQuery& operator=(const ScrapeQuery&) = delete;
    PDH_HQUERY handle() const { return query_; }

private:
    pdh::Library& library_;
    PDH_HQUERY query_ = nullptr;
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
    : library_(library), selection_(std::move(selection)), families_(exportedFamilies()) {}

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
            ScrapeQuery query(library);
            if (query.handle() == nullptr) return countError();
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
                    PDH_HCOUNTER handle = nullptr;
                    if (library.addCounter(query.handle(), path.c_str(), 0, &handle) != ERROR_SUCCESS) {
                        countError();
                        continue;
                    }
                    series.push_back({f, &instance, handle});
                }
            }
            if (library.collect(query.handle()) != ERROR_SUCCESS) return countError();
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
