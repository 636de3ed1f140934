// Writing a computed value in the caller's format.
#pragma once

#include "pdh/pdh.h"

namespace vantorel::pdh {

// True when `format` names exactly one of LONG, DOUBLE, LARGE, optionally with
// NOCAP100, and nothing else.
bool validFormat(DWORD format);

// Writes CStatus and the value. Whole numbers round half away from zero; a value
// outside the format's range saturates with PDH_CSTATUS_INVALID_DATA. Returns the
// CStatus written.
PDH_STATUS formatValue(double value, DWORD format, PDH_FMT_COUNTERVALUE& out);

// A failed read: 0 in the value and the failing status.
void writeFailure(PDH_STATUS cstatus, PDH_FMT_COUNTERVALUE& out);

}  // namespace vantorel::pdh
