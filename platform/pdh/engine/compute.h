// Turning raw samples into a counter's value by the catalogue entry's kind.
#pragma once

#include "pdh/pdh.h"
#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/raw_record.h"

namespace vantorel::pdh {

struct Computed {
    PDH_STATUS cstatus = PDH_CSTATUS_VALID_DATA;
    double value = 0.0;
};

// `previous` is null, or a sample of the same instance from an earlier collect.
// Without it, rates and shares are averages since the instance began counting.
Computed computeValue(const CounterDef& def, const RawRecord* previous, const RawRecord& current,
                      bool noCap100);

// The raw value of pdh.h's PdhGetRawCounterValue from the latest sample:
// FirstValue / SecondValue in the base unit of the counter's Unit (see
// unitToBase). A share of ticks counts ticks of `ticksPerSecond`.
PDH_RAW_COUNTER computeRaw(const CounterDef& def, const RawRecord& current, std::int64_t ticksPerSecond);

// Delta of a cumulative counter: a drop from below 2^32 is a 32-bit wrap, from
// above a reset (no value).
bool cumulativeDelta(std::uint64_t before, std::uint64_t now, std::uint64_t& delta);

// The counter type reported to callers, from the documented family of values.
DWORD counterType(const CounterDef& def);

}  // namespace vantorel::pdh
