// One collect's raw numbers for one counter's instance. Formatted values are
// computed from two of these (previous and current) only when read.
#pragma once

#include <array>
#include <cstdint>

#include "pdh/pdh.h"
#include "platform/pdh/engine/catalogue.h"

namespace vantorel::pdh {

struct RawRecord {
    std::array<std::uint64_t, kMaxFields> values{};
    FieldMask valid = 0;            // fields that were read this collect
    PDH_STATUS status = PDH_NO_DATA;  // of the instance as a whole
    double time = 0.0;              // collect timestamp, seconds since boot
    double start = 0.0;             // when the counting began: 0 = boot, or process start
    double members = 1.0;           // instances summed into a _Total
    double ceiling = 0.0;           // true ceiling of its percentages (100 x processors); 0: none

    void set(unsigned index, std::uint64_t value) {
        values[index] = value;
        valid |= FieldMask{1} << index;
    }
};

}  // namespace vantorel::pdh
