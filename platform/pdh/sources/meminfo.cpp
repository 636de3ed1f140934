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
    {"SwapCached", &Meminfo::swapCached, Unit::KiB},
    {"Dirty", &Meminfo::dirty, Unit::KiB},
    {"Writeback", &Meminfo::writeback, Unit::KiB},
    {"Slab", &Meminfo::slab, Unit::KiB},
    {"Shmem", &Meminfo::shmem, Unit::KiB},
    {"AnonPages", &Meminfo::anonPages, Unit::KiB},
    {"PageTables", &Meminfo::pageTables, Unit::KiB},
    {"KernelStack", &Meminfo::kernelStack, Unit::KiB},
    {"HugePages_Total", &Meminfo::hugePagesTotal, Unit::None},
    {"HugePages_Free", &Meminfo::hugePagesFree, Unit::None},
    {"Hugepagesize", &Meminfo::hugepagesize, Unit::KiB},
};

}  // namespace

std::optional<Meminfo> parseMeminfo(std::string_view text) { return scan::parseKeyValueFile(text, kFields); }

}  // namespace vantorel::pdh::sources
