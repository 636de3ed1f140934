#include "platform/pdh/engine/formatting.h"

#include <cmath>
#include <limits>

namespace vantorel::pdh {

bool validFormat(DWORD format) {
    const DWORD kind = format & ~PDH_FMT_NOCAP100;
    return kind == PDH_FMT_LONG || kind == PDH_FMT_DOUBLE || kind == PDH_FMT_LARGE;
}

void writeFailure(PDH_STATUS cstatus, PDH_FMT_COUNTERVALUE& out) {
    out.CStatus = cstatus;
    out.largeValue = 0;  // the widest member: no byte of the union is left stale
}

PDH_STATUS formatValue(double value, DWORD format, PDH_FMT_COUNTERVALUE& out) {
    writeFailure(PDH_CSTATUS_VALID_DATA, out);
    if (std::isnan(value)) {
        writeFailure(PDH_CSTATUS_INVALID_DATA, out);
        return out.CStatus;
    }
    const DWORD kind = format & ~PDH_FMT_NOCAP100;
    if (kind == PDH_FMT_DOUBLE) {
        if (std::isinf(value)) {
            out.doubleValue = value > 0 ? std::numeric_limits<double>::max() : std::numeric_limits<double>::lowest();
            out.CStatus = PDH_CSTATUS_INVALID_DATA;
        } else {
            out.doubleValue = value;
        }
        return out.CStatus;
    }
    const double rounded = std::round(value);  // half away from zero
    if (kind == PDH_FMT_LONG) {
        constexpr double lo = std::numeric_limits<LONG>::min();
        constexpr double hi = std::numeric_limits<LONG>::max();
        if (rounded < lo || rounded > hi) {
            out.longValue = rounded < lo ? std::numeric_limits<LONG>::min() : std::numeric_limits<LONG>::max();
            out.CStatus = PDH_CSTATUS_INVALID_DATA;
        } else {
            out.longValue = static_cast<LONG>(rounded);
        }
        return out.CStatus;
    }
    // 2^63 is exact in a double; anything at or above it does not fit.
    constexpr double lo = -9223372036854775808.0;
    if (rounded < lo || rounded >= -lo) {
        out.largeValue = rounded < lo ? std::numeric_limits<LONGLONG>::min() : std::numeric_limits<LONGLONG>::max();
        out.CStatus = PDH_CSTATUS_INVALID_DATA;
    } else {
        out.largeValue = static_cast<LONGLONG>(rounded);
    }
    return out.CStatus;
}

}  // namespace vantorel::pdh
