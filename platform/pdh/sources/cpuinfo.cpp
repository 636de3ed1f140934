#include "platform/pdh/sources/cpuinfo.h"

#include <cmath>
#include <optional>

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

std::vector<CpuClock> parseCpuinfoClocks(std::string_view text) {
    std::vector<CpuClock> out;
    std::optional<unsigned> cpu;
    std::optional<double> mhz;
    const auto flush = [&] {
        if (cpu && mhz) {
            out.push_back(CpuClock{*cpu, static_cast<std::uint64_t>(std::llround(*mhz * 1000.0))});
        }
        cpu.reset();
        mhz.reset();
    };
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view key;
        std::string_view value;
        if (!scan::splitKeyValue(line, key, value)) {
            flush();  // a blank line ends a cpu's block
            continue;
        }
        key = scan::trim(key);
        value = scan::trim(value);
        if (key == "processor") {
            flush();
            cpu = scan::toNumber<unsigned>(value);
        } else if (key == "cpu MHz") {
            const std::optional<double> v = scan::toDouble(value);
            if (v && *v >= 0.0 && *v < 1e9) {
                mhz = v;
            }
        }
    }
    flush();
    return out;
}

}  // namespace vantorel::pdh::sources
