#include "platform/pdh/objects/memory.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/meminfo_reader.h"
#include "platform/pdh/sources/vmstat_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Meminfo, Vmstat, SourceCount };
constexpr SourceMask kMem = src(Meminfo);
constexpr SourceMask kVm = src(Vmstat);
static_assert(fitsMasks<f::MemoryFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"Available Bytes", "Memory available for starting new work without swapping, in bytes, MemAvailable of /proc/meminfo.", N, Gauge, kMem, bit(f::MemAvailable), 0, 1, Unit::Bytes},
    CounterDef{"Available KBytes", "Memory available for starting new work without swapping, in KiB, MemAvailable of /proc/meminfo.", N, Gauge, kMem, bit(f::MemAvailable), 0, 1.0 / 1024, Unit::Kibibytes},
    CounterDef{"Available MBytes", "Memory available for starting new work without swapping, in MiB, MemAvailable of /proc/meminfo.", N, Gauge, kMem, bit(f::MemAvailable), 0, 1.0 / (1024 * 1024), Unit::Mebibytes},
    CounterDef{"Free Bytes", "Memory not used for anything, in bytes, MemFree of /proc/meminfo.", A, Gauge, kMem, bit(f::MemFree), 0, 1, Unit::Bytes},
    CounterDef{"Cache Bytes", "Memory holding buffers, page cache and reclaimable slab, in bytes, Buffers+Cached+SReclaimable of /proc/meminfo.", A, Gauge, kMem, bit(f::Cache), 0, 1, Unit::Bytes},
    CounterDef{"Committed Bytes", "Memory the processes have been promised, in bytes, Committed_AS of /proc/meminfo.", A, Gauge, kMem, bit(f::CommittedAs), 0, 1, Unit::Bytes},
    CounterDef{"Commit Limit", "Memory that can be promised under strict overcommit, in bytes, CommitLimit of /proc/meminfo.", A, Gauge, kMem, bit(f::CommitLimit), 0, 1, Unit::Bytes},
    CounterDef{"% Committed Bytes In Use", "Committed_AS as a percentage of CommitLimit from /proc/meminfo; may exceed 100 under overcommit.", N, Ratio, kMem, bit(f::CommittedAs), bit(f::CommitLimit), 1, Unit::Percent},
    CounterDef{"Page Faults/sec", "Page faults per second, minor and major, the pgfault rate of /proc/vmstat.", N, Rate, kVm, bit(f::PgFault), 0, 1, Unit::PerSecond},
    CounterDef{"Pages Input/sec", "Pages swapped in per second, the pswpin rate of /proc/vmstat.", A, Rate, kVm, bit(f::PswpIn), 0, 1, Unit::PerSecond},
    CounterDef{"Pages Output/sec", "Pages swapped out per second, the pswpout rate of /proc/vmstat.", A, Rate, kVm, bit(f::PswpOut), 0, 1, Unit::PerSecond},
    CounterDef{"Pages/sec", "Pages swapped in and out per second, pswpin plus pswpout of /proc/vmstat.", N, Rate, kVm, bit(f::PswpIn) | bit(f::PswpOut), 0, 1, Unit::PerSecond},
};
// clang-format on

class MemoryProvider final : public TableProvider {
public:
    MemoryProvider()
        : TableProvider({"Memory", "Physical and committed memory and paging activity, from /proc/meminfo and /proc/vmstat.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        using namespace field;
        if (b.needs.has(Meminfo)) {
            if (const sources::Meminfo* mi = sources.get<MeminfoSource>()) {
                // MemAvailable appeared in Linux 3.14; before it MemFree is the best there is.
                if (mi->memAvailable) out.set(MemAvailable, *mi->memAvailable);
                else if (mi->memFree) out.set(MemAvailable, *mi->memFree);
                if (mi->memFree) out.set(MemFree, *mi->memFree);
                if (mi->buffers && mi->cached) out.set(Cache, *mi->buffers + *mi->cached + mi->sReclaimable.value_or(0));
                if (mi->committedAs) out.set(CommittedAs, *mi->committedAs);
                if (mi->commitLimit) out.set(CommitLimit, *mi->commitLimit);
            }
        }
        if (b.needs.has(Vmstat)) {
            if (const sources::Vmstat* vm = sources.get<VmstatSource>()) {
                if (vm->pgfault) out.set(PgFault, *vm->pgfault);
                if (vm->pswpin) out.set(PswpIn, *vm->pswpin);
                if (vm->pswpout) out.set(PswpOut, *vm->pswpout);
            }
        }
    }
};

}  // namespace

const Provider& memoryProvider() {
    static const MemoryProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
