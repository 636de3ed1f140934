// /sys/devices/system/cpu/cpuN/cpufreq/{scaling_cur_freq,cpuinfo_max_freq}:
// one frequency in kHz.
#pragma once

#include "platform/pdh/sources/parse_result.h"

#include <string_view>

namespace vantorel::pdh::sources {

// No value for "<unknown>" (some drivers cannot tell) or anything but one number.
OptU64 parseKilohertz(std::string_view text);

}  // namespace vantorel::pdh::sources
