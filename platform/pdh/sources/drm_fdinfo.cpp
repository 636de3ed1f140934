#include "platform/pdh/sources/drm_fdinfo.h"

#include <algorithm>
#include <limits>

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {
namespace {

// "25662044495 ns" -> 25662044495.
OptU64 nanoseconds(std::string_view value) {
    const OptU64 n = scan::toU64(scan::nextToken(value));
    if (scan::nextToken(value) != "ns" || !scan::nextToken(value).empty()) return std::nullopt;
    return n;
}

OptU64 plainNumber(std::string_view value) {
    const OptU64 n = scan::toU64(scan::nextToken(value));
    if (!scan::nextToken(value).empty()) return std::nullopt;
    return n;
}

// "98304 KiB" -> bytes; a number without a unit is bytes.
OptU64 memoryBytes(std::string_view value) {
    const OptU64 n = scan::toU64(scan::nextToken(value));
    const std::string_view unit = scan::nextToken(value);
    if (!n || !scan::nextToken(value).empty()) return std::nullopt;
    std::uint64_t factor = 1;
    if (unit == "KiB") {
        factor = 1024;
    } else if (unit == "MiB") {
        factor = 1024 * 1024;
    } else if (!unit.empty()) {
        return std::nullopt;
    }
    if (*n > std::numeric_limits<std::uint64_t>::max() / factor) return std::nullopt;
    return *n * factor;
}

template <class T>
T& named(std::vector<T>& items, std::string_view name) {
    for (T& item : items)
        if (item.name == name) return item;
    items.push_back(T{});
    items.back().name = std::string(name);
    return items.back();
}

}  // namespace

std::optional<DrmClientUsage> parseDrmFdinfo(std::string_view text) {
    DrmClientUsage out;
    bool identified = false;
    struct Capacity {
        std::string name;
        std::uint64_t value = 0;
    };
    std::vector<Capacity> capacities;
    std::vector<DrmEngineUsage> engines;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        std::string_view key;
        std::string_view value;
        if (!scan::splitKeyValue(line, key, value) || !key.starts_with("drm-")) continue;
        value = scan::trim(value);
        if (key == "drm-client-id") {
            const OptU64 id = plainNumber(value);
            if (id && !identified) {
                out.clientId = *id;
                identified = true;
            }
        } else if (key == "drm-pdev") {
            out.pdev = std::string(value);
        } else if (key == "drm-driver") {
            out.driver = std::string(value);
        } else if (key.starts_with("drm-engine-capacity-")) {
            const std::string_view name = key.substr(20);
            if (const OptU64 n = plainNumber(value); n && *n > 0 && !name.empty())
                capacities.push_back({std::string(name), *n});
        } else if (key.starts_with("drm-engine-")) {
            const std::string_view name = key.substr(11);
            const OptU64 ns = nanoseconds(value);
            if (ns && !name.empty() && std::none_of(engines.begin(), engines.end(),
                                                    [&](const DrmEngineUsage& e) { return e.name == name; }))
                engines.push_back({std::string(name), *ns, std::nullopt});
        } else if (key.starts_with("drm-resident-")) {
            const std::string_view name = key.substr(13);
            if (const OptU64 bytes = memoryBytes(value); bytes && !name.empty())
                named(out.regions, name).residentBytes = bytes;
        } else if (key.starts_with("drm-memory-")) {
            const std::string_view name = key.substr(11);
            if (const OptU64 bytes = memoryBytes(value); bytes && !name.empty())
                named(out.regions, name).memoryBytes = bytes;
        }
    }
    if (!identified) return std::nullopt;
    for (DrmEngineUsage& e : engines)
        for (const Capacity& c : capacities)
            if (c.name == e.name) e.capacity = c.value;
    out.engines = std::move(engines);
    return out;
}

}  // namespace vantorel::pdh::sources
