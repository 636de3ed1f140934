#include "platform/pdh/sources/vmstat.h"

#include <iterator>

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

using scan::Unit;

constexpr scan::KeyField<Vmstat> kFields[] = {
    {"pgfault", &Vmstat::pgfault, Unit::None},
    {"pswpin", &Vmstat::pswpin, Unit::None},
    {"pswpout", &Vmstat::pswpout, Unit::None},
    {"pgpgin", &Vmstat::pgpgin, Unit::None},
    {"pgpgout", &Vmstat::pgpgout, Unit::None},
};

}  // namespace

std::optional<Vmstat> parseVmstat(std::string_view text) {
    Vmstat out;
    bool known = false;
    // The file runs to some two hundred counters; stop once ours are all in.
    std::size_t found = 0;
    scan::Lines lines(text);
    std::string_view line;
    while (found < std::size(kFields) && lines.next(line)) {
        std::string_view value = line;
        const std::string_view key = scan::nextToken(value);
        if (scan::storeKnownKey(kFields, key, value, out)) {
            known = true;
            ++found;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
