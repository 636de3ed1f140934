// One collect's raw numbers for one counter's instance. Formatted values are
// computed from two of these (previous and current) only when read.
#pragma once

#include <array>
#include <cstdint>
#include <limits>

#include "pdh/pdh.h"
#include "platform/pdh/engine/catalogue.h"

namespace vantorel::pdh {

// When the counting began is not known (a control group keeps no birth time):
// a rate then has no first value and waits for a second sample.
inline constexpr double kUnknownStart = std::numeric_limits<double>::quiet_NaN();

struct RawRecord {
    std::array<std::uint64_t, kMaxFields> values{};
    FieldMask valid = 0;            // fields that were read this collect
    PDH_STATUS status = PDH_NO_DATA;  // of the instance as a whole
    double time = 0.0;              // collect timestamp, seconds since boot
    double start = 0.0;             // when the counting began: 0 = boot, process start, or kUnknownStart
    double members = 1.0;           // instances summed into a _Total
    double ceiling = 0.0;           // true ceiling of its percentages (100 x processors); 0: none

    void set(unsigned index, std::uint64_t value) {
        values[index] = value;
        valid |= FieldMask{1} << index;
    }
};

}  // namespace vantorel::pdh
