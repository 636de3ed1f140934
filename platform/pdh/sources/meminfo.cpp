#include "platform/pdh/sources/meminfo.h"

#include "platform/pdh/sources/scan.h"

namespace vantorel::pdh::sources {

namespace {

using scan::Unit;

constexpr scan::KeyField<Meminfo> kFields[] = {
    {"MemTotal", &Meminfo::memTotal, Unit::KiB},
    {"MemFree", &Meminfo::memFree, Unit::KiB},
    {"MemAvailable", &Meminfo::memAvailable, Unit::KiB},
    {"Buffers", &Meminfo::buffers, Unit::KiB},
    {"Cached", &Meminfo::cached, Unit::KiB},
    {"SReclaimable", &Meminfo::sReclaimable, Unit::KiB},
    {"Committed_AS", &Meminfo::committedAs, Unit::KiB},
    {"CommitLimit", &Meminfo::commitLimit, Unit::KiB},
    {"SwapTotal", &Meminfo::swapTotal, Unit::KiB},
    {"SwapFree", &Meminfo::swapFree, Unit::KiB},
};

}  // namespace

std::optional<Meminfo> parseMeminfo(std::string_view text) { return scan::parseKeyValueFile(text, kFields); }

}  // namespace vantorel::pdh::sources
