// The exported metric families, derived from the catalogue alone: one family per
// counter, named and typed as Prometheus expects, minus the counters that would
// repeat another's series (the same fields in another display unit, or a sum
// of two exported counters that PromQL adds up itself).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/pdh/engine/catalogue.h"

namespace vantorel::cli::serve {

struct FamilySpec {
    const pdh::CounterDef* counter = nullptr;
    std::string name;   // vantorel_<object>_<counter><unit suffix>, counters ending in _total
    std::string help;   // the counter's description
    bool isCounter = false;  // cumulative: a Prometheus counter; else a gauge
    std::string label;  // the instance's label name; empty for objects without instances
};

// snake_case of a catalogue name: "PhysicalDisk" -> "physical_disk",
// "% Disk Time" -> "disk_time", "Bytes Received/sec" -> "bytes_received".
std::string snakeCase(std::string_view name);

FamilySpec familyFor(const pdh::ObjectDef& object, const pdh::CounterDef& counter);

// In catalogue order; every name distinct.
std::vector<FamilySpec> exportedFamilies();

}  // namespace vantorel::cli::serve
