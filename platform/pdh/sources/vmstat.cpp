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
    {"pgmajfault", &Vmstat::pgmajfault, Unit::None},
    {"pgfree", &Vmstat::pgfree, Unit::None},
};

// The reclaim counters to add up, or null for any other key.
OptU64 Vmstat::*reclaimSum(std::string_view key) {
    const bool scanned = key.starts_with("pgscan_");
    if (!scanned && !key.starts_with("pgsteal_")) {
        return nullptr;
    }
    if (key.ends_with("_anon") || key.ends_with("_file") || key == "pgscan_direct_throttle") {
        return nullptr;
    }
    return scanned ? &Vmstat::pgscan : &Vmstat::pgsteal;
}

}  // namespace

std::optional<Vmstat> parseVmstat(std::string_view text) {
    Vmstat out;
    bool known = false;
    // The file runs to some two hundred counters; stop once ours are all in:
    // the keyed ones, and the reclaim block, which the kernel prints after them
    // among other "pg" counters.
    std::size_t found = 0;
    bool reclaimSeen = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view value = line;
        const std::string_view key = scan::nextToken(value);
        if (found == std::size(kFields) && reclaimSeen && !key.starts_with("pg")) {
            break;
        }
        if (scan::storeKnownKey(kFields, key, value, out)) {
            known = true;
            ++found;
        } else if (OptU64 Vmstat::*sum = reclaimSum(key)) {
            const OptU64 count = scan::valueIn(value, Unit::None);
            if (count) {
                OptU64& slot = out.*sum;
                slot = slot.value_or(0) + *count;
                reclaimSeen = true;
                known = true;
            }
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
