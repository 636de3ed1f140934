#include "platform/pdh/sources/vmstat.h"

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
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view value = line;
        const std::string_view key = scan::nextToken(value);
        known = scan::storeKnownKey(kFields, key, value, out) || known;
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
