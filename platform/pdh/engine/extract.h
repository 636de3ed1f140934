// From the sources of one collect to the raw record of one counter's instance.
#pragma once

#include <string_view>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/machine_sources.h"
#include "platform/pdh/engine/process_sources.h"
#include "platform/pdh/engine/raw_record.h"

namespace vantorel::pdh {

inline constexpr std::string_view kTotal = "_Total";

struct CollectedSources {
    const MachineSources& machine;
    const ProcessScan& scan;
    const ProcessUnits& units;
};

// Fills `out` (whose time the caller sets) for an instance of a machine-wide
// object; Process instances other than _Total come from their tracker instead.
void extractRecord(ObjectId object, std::string_view instance, const CollectedSources& sources, RawRecord& out);

// Current instances, in reading order (_Total first where there is one).
std::vector<std::string> listInstances(ObjectId object, const CollectedSources& sources);

}  // namespace vantorel::pdh
