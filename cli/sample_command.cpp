#include "cli/sample_command.h"

#include <cmath>
#include <memory>

#include "cli/display_text.h"
#include "cli/exit_codes.h"
#include "cli/timestamp.h"
#include "cli/value_text.h"

namespace vantorel::cli {
namespace {

class QueryGuard {
public:
    QueryGuard(pdh::Library& library, PDH_HQUERY query) : library_(library), query_(query) {}
    ~QueryGuard() { library_.closeQuery(query_); }
    QueryGuard(const QueryGuard&) = delete;
    QueryGuard& operator=(const QueryGuard&) = delete;

private:
    pdh::Library& library_;
    PDH_HQUERY query_;
};

void describeStatus(std::ostream& err, PDH_STATUS status) {
    err << pdh::statusName(status) << " (" << pdh::statusMeaning(status) << ")\n";
}

bool addAll(pdh::Library& library, PDH_HQUERY query, const std::vector<std::string>& paths,
            std::vector<PDH_HCOUNTER>& counters, std::ostream& err) {
    bool allGood = true;
    for (const std::string& path : paths) {
        PDH_HCOUNTER counter = nullptr;
        // A path with a NUL byte would reach the library cut short and name
        // another counter than the one asked for.
        const PDH_STATUS status = path.find('\0') != std::string::npos
                                      ? PDH_CSTATUS_BAD_COUNTERNAME
                                      : library.addCounter(query, path.c_str(), 0, &counter);
        if (status != ERROR_SUCCESS || counter == nullptr) {
            err << "vantorel-cli: bad counter path \"" << displayText(path) << "\": ";
            describeStatus(err, status != ERROR_SUCCESS ? status : PDH_INVALID_HANDLE);
            allGood = false;
        }
        counters.push_back(counter);
    }
    return allGood;
}

// The field for one counter, or empty with the reason on `err`.
std::string readField(pdh::Library& library, PDH_HCOUNTER counter, const std::string& path, std::string_view time,
                      std::ostream& err) {
    PDH_FMT_COUNTERVALUE value{};
    DWORD type = 0;
    const PDH_STATUS status = library.formattedValue(counter, PDH_FMT_DOUBLE, &type, &value);
    if (status == ERROR_SUCCESS && value.CStatus == PDH_CSTATUS_VALID_DATA) {
        std::string text = formatValue(value.doubleValue);
        if (!text.empty()) return text;
    }
    PDH_STATUS reason = value.CStatus != PDH_CSTATUS_VALID_DATA ? value.CStatus : status;
    if (reason == ERROR_SUCCESS) reason = PDH_CSTATUS_INVALID_DATA;  // a value that is not a number
    err << "vantorel-cli: " << time << ": " << displayText(path) << ": ";
    describeStatus(err, reason);
    return {};
}

}  // namespace

int sampleCounters(pdh::Library& library, const SampleOptions& options, Pacer& pacer, std::ostream& out,
                   std::ostream& err) {
    if (options.interval <= std::chrono::nanoseconds::zero()) {
        err << "vantorel-cli: the interval must be positive\n";
        return kExitUsage;
    }
    PDH_HQUERY query = nullptr;
    if (library.openQuery(0, &query) != ERROR_SUCCESS || query == nullptr) {
        err << "vantorel-cli: cannot open a query\n";
        return kExitFailure;
    }
    const QueryGuard guard(library, query);
    std::vector<PDH_HCOUNTER> counters;
    if (!addAll(library, query, options.paths, counters, err)) return kExitUsage;

    const std::unique_ptr<RowWriter> writer = makeRowWriter(options.format, out);
    writer->header(options.paths);
    out.flush();

    const Pacer::Clock::time_point start = pacer.now();
    const auto interval = std::chrono::duration_cast<Pacer::Clock::duration>(options.interval);
    std::int64_t tick = 0;
    std::vector<std::string> fields(counters.size());
    for (std::uint64_t rows = 0; out && (options.samples == 0 || rows < options.samples); ++rows) {
        if (!pacer.waitUntil(start + tick * interval)) break;
        const std::string time = iso8601(localCivilTime(pacer.wallNow()));
        const PDH_STATUS collected = library.collect(query);
        if (collected != ERROR_SUCCESS) {
            err << "vantorel-cli: collecting failed: ";
            describeStatus(err, collected);
            return kExitFailure;
        }
        for (std::size_t i = 0; i < counters.size(); ++i)
            fields[i] = readField(library, counters[i], options.paths[i], time, err);
        writer->row(time, fields);
        out.flush();

        // The next point of the schedule that is still ahead.
        ++tick;
        const auto elapsed = pacer.now() - start;
        if (tick * interval <= elapsed) tick = elapsed / interval + 1;
    }
    if (!out) {
        err << "vantorel-cli: cannot write the output\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace vantorel::cli
