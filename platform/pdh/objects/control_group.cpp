#include "platform/pdh/objects/control_group.h"

#include <array>

#include "platform/pdh/objects/control_group_files.h"
#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/cgroup_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;

enum Field : unsigned {
    Usage, User, System, Throttled, Memory, MemoryLimit, Swap, Anon, File, OomKills,
    ReadBytes, WriteBytes, Reads, Writes, Processes, ThreadCount,
    CpuSome, MemorySome, MemoryFull, IoSome, IoFull, FieldCount
};
static_assert(fitsMasks<FieldCount, GroupFileCount>());

// Times are in microseconds; a share of time is a rate of busy seconds.
constexpr double kUsToPercent = 100.0 / 1e6;

constexpr SourceMask kCpu = src(CpuStat);
constexpr SourceMask kIo = src(IoStat);

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100
    CounterDef{"% Processor Time", "Percentage of one processor used by the group and the groups below it, usage_usec of cpu.stat; runs to 100 times the processors.", N, Rate, kCpu, bit(Usage), 0, kUsToPercent, Unit::Percent},
    CounterDef{"% User Time", "Percentage of one processor used in user mode by the group and the groups below it, user_usec of cpu.stat.", A, Rate, kCpu, bit(User), 0, kUsToPercent, Unit::Percent},
    CounterDef{"% Privileged Time", "Percentage of one processor used in kernel mode by the group and the groups below it, system_usec of cpu.stat.", A, Rate, kCpu, bit(System), 0, kUsToPercent, Unit::Percent},
    CounterDef{"% Throttled Time", "Percentage of time the group was held back by its processor limit, throttled_usec of cpu.stat (cpu controller only).", A, Rate, kCpu, bit(Throttled), 0, kUsToPercent, Unit::Percent},
    CounterDef{"Memory Bytes", "Memory used by the group and the groups below it in bytes, memory.current (memory controller only).", N, Gauge, src(MemoryCurrent), bit(Memory), 0, 1, Unit::Bytes},
    CounterDef{"Memory Limit Bytes", "The group's memory limit in bytes, memory.max; no limit (max) reads as invalid data.", A, Gauge, src(MemoryMax), bit(MemoryLimit), 0, 1, Unit::Bytes},
    CounterDef{"% Memory Limit In Use", "Memory used as a percentage of the group's limit, memory.current over memory.max; no limit reads as invalid data.", N, Ratio, src(MemoryCurrent) | src(MemoryMax), bit(Memory), bit(MemoryLimit), 1, Unit::Percent},
    CounterDef{"Swap Bytes", "Swap used by the group and the groups below it in bytes, memory.swap.current.", A, Gauge, src(SwapCurrent), bit(Swap), 0, 1, Unit::Bytes},
    CounterDef{"Anonymous Bytes", "Anonymous memory (heaps, stacks) of the group in bytes, anon of memory.stat.", A, Gauge, src(MemoryStat), bit(Anon), 0, 1, Unit::Bytes},
    CounterDef{"File Bytes", "Page cache, tmpfs and shared memory of the group in bytes, file of memory.stat.", A, Gauge, src(MemoryStat), bit(File), 0, 1, Unit::Bytes},
    CounterDef{"OOM Kills", "Processes of the group the out-of-memory killer ended since the group was made, oom_kill of memory.events.", A, Gauge, src(MemoryEvents), bit(OomKills), 0, 1, Unit::Count},
    CounterDef{"IO Read Bytes/sec", "Bytes the group read from block devices per second, rbytes of io.stat summed over devices.", N, Rate, kIo, bit(ReadBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"IO Write Bytes/sec", "Bytes the group wrote to block devices per second, wbytes of io.stat summed over devices.", N, Rate, kIo, bit(WriteBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"IO Read Operations/sec", "Read requests of the group per second, rios of io.stat summed over devices.", A, Rate, kIo, bit(Reads), 0, 1, Unit::PerSecond},
    CounterDef{"IO Write Operations/sec", "Write requests of the group per second, wios of io.stat summed over devices.", A, Rate, kIo, bit(Writes), 0, 1, Unit::PerSecond},
    CounterDef{"Processes", "Processes in the group itself (not the groups below it), the lines of cgroup.procs.", N, Gauge, src(Procs), bit(Processes), 0, 1, Unit::Count},
    CounterDef{"Threads", "Threads in the group itself (not the groups below it), the lines of cgroup.threads.", A, Gauge, src(Threads), bit(ThreadCount), 0, 1, Unit::Count},
    CounterDef{"% CPU Some Stall Time", "Percentage of time some of the group's tasks waited for a processor, total of the some line of cpu.pressure.", A, Rate, src(CpuPressure), bit(CpuSome), 0, kUsToPercent, Unit::Percent, true},
    CounterDef{"% Memory Some Stall Time", "Percentage of time some of the group's tasks waited for memory, total of the some line of memory.pressure.", A, Rate, src(MemoryPressure), bit(MemorySome), 0, kUsToPercent, Unit::Percent, true},
    CounterDef{"% Memory Full Stall Time", "Percentage of time all of the group's non-idle tasks waited for memory, total of the full line of memory.pressure.", A, Rate, src(MemoryPressure), bit(MemoryFull), 0, kUsToPercent, Unit::Percent, true},
    CounterDef{"% IO Some Stall Time", "Percentage of time some of the group's tasks waited for I/O, total of the some line of io.pressure.", A, Rate, src(IoPressure), bit(IoSome), 0, kUsToPercent, Unit::Percent, true},
    CounterDef{"% IO Full Stall Time", "Percentage of time all of the group's non-idle tasks waited for I/O, total of the full line of io.pressure.", A, Rate, src(IoPressure), bit(IoFull), 0, kUsToPercent, Unit::Percent, true},
};
// clang-format on

void setIf(RawRecord& out, Field field, const sources::OptU64& value) {
    if (value) out.set(field, *value);
}

void setStall(RawRecord& out, Field field, const std::optional<sources::Pressure>& file, bool full) {
    if (!file) return;
    const std::optional<sources::PressureLine>& line = full ? file->full : file->some;
    if (line) out.set(field, line->totalUs);
}

void fillRecord(const GroupValues& v, RawRecord& out) {
    if (v.cpu) {
        setIf(out, Usage, v.cpu->usageUsec);
        setIf(out, User, v.cpu->userUsec);
        setIf(out, System, v.cpu->systemUsec);
        setIf(out, Throttled, v.cpu->throttledUsec);
    }
    setIf(out, Memory, v.memoryCurrent);
    if (v.memoryMax && !v.memoryMax->unlimited) out.set(MemoryLimit, v.memoryMax->bytes);
    setIf(out, Swap, v.swapCurrent);
    if (v.memoryStat) {
        setIf(out, Anon, v.memoryStat->anonBytes);
        setIf(out, File, v.memoryStat->fileBytes);
    }
    if (v.memoryEvents) setIf(out, OomKills, v.memoryEvents->oomKill);
    if (v.io) {
        out.set(ReadBytes, v.io->readBytes);
        out.set(WriteBytes, v.io->writeBytes);
        out.set(Reads, v.io->reads);
        out.set(Writes, v.io->writes);
    }
    setIf(out, Processes, v.processes);
    setIf(out, ThreadCount, v.threads);
    setStall(out, CpuSome, v.cpuPressure, false);
    setStall(out, MemorySome, v.memoryPressure, false);
    setStall(out, MemoryFull, v.memoryPressure, true);
    setStall(out, IoSome, v.ioPressure, false);
    setStall(out, IoFull, v.ioPressure, true);
}

class ControlGroupProvider final : public TableProvider {
public:
    ControlGroupProvider()
        : TableProvider({"Control Group",
                         "What each group of the cgroup v2 hierarchy (a service, a container, a session) uses, by its "
                         "path from the hierarchy's root, from cpu.stat, memory.*, io.stat, cgroup.procs and *.pressure.",
                         true, "cgroup"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        const CgroupHierarchy* hierarchy = sources.get<CgroupHierarchySource>();
        if (hierarchy == nullptr) return {};
        return listCgroups(sources.reader(), hierarchy->directory);
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& /*roots*/) const override {
        return std::make_unique<ControlGroupTracker>(instance);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        static_cast<ControlGroupTracker*>(b.state)->collect(sources, b.needs.sources);
    }

    void extract(const Binding& b, SourceCache& /*sources*/, RawRecord& out) const override {
        const auto* tracker = static_cast<const ControlGroupTracker*>(b.state);
        out.status = tracker->status();
        if (out.status != PDH_CSTATUS_VALID_DATA) return;
        out.start = tracker->start();
        fillRecord(tracker->values(), out);
    }
};

}  // namespace

const Provider& controlGroupProvider() {
    static const ControlGroupProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
