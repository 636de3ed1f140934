#include "platform/pdh/sources/node_meminfo.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

using scan::Unit;

constexpr scan::KeyField<NodeMeminfo> kFields[] = {
    {"MemTotal", &NodeMeminfo::memTotal, Unit::KiB},
    {"MemFree", &NodeMeminfo::memFree, Unit::KiB},
    {"FilePages", &NodeMeminfo::filePages, Unit::KiB},
    {"AnonPages", &NodeMeminfo::anonPages, Unit::KiB},
};

}  // namespace

std::optional<NodeMeminfo> parseNodeMeminfo(std::string_view text) {
    NodeMeminfo out;
    bool known = false;
    scan::Lines lines(text);
    std::string_view line;
    while (lines.next(line)) {
        // "Node N " before the key.
        if (scan::nextToken(line) != "Node" || !scan::toNumber<unsigned>(scan::nextToken(line))) {
            continue;
        }
        std::string_view key;
        std::string_view value;
        if (scan::splitKeyValue(scan::trim(line), key, value)) {
            known = scan::storeKnownKey(kFields, key, value, out) || known;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    return out;
}

}  // namespace vantorel::pdh::sources
