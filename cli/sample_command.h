// `sample`: one collect per interval, one output row per collect.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "cli/pacer.h"
#include "cli/row_writer.h"
#include "platform/pdh/engine/library.h"

namespace vantorel::cli {

struct SampleOptions {
    std::vector<std::string> paths;
    std::chrono::nanoseconds interval = std::chrono::seconds(1);
    std::uint64_t samples = 0;  // 0: until the pacer reports a stop
    OutputFormat format = OutputFormat::Csv;
};

// Every path is added before the first collect; any the library refuses is named
// on `err` with its status and the run ends with kExitUsage, having written
// nothing to `out`. The first row is the library's first value: the average
// since boot, or since the process started for a Process counter. Collects keep
// to the schedule start + k x interval; a point already missed is skipped rather
// than run late. A value that fails leaves its field empty and one line on `err`.
// Each row is flushed as it is written; a stop ends after the last whole row
// with kExitOk. Output that cannot be written ends the run with kExitFailure.
int sampleCounters(pdh::Library& library, const SampleOptions& options, Pacer& pacer, std::ostream& out,
                   std::ostream& err);

}  // namespace vantorel::cli
