#include "platform/pdh/objects/processor.h"

#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/proc_entries.h"
#include "platform/pdh/sources/proc_stat_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Stat, SourceCount };
constexpr SourceMask kStat = src(Stat);
static_assert(fitsMasks<f::ProcessorFieldCount, SourceCount>());

constexpr FieldMask kCpuAll = bit(f::User) | bit(f::Nice) | bit(f::System) | bit(f::Idle) |
                              bit(f::IoWait) | bit(f::Irq) | bit(f::SoftIrq) | bit(f::Steal);

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"% Processor Time", "Percentage of time the processor was busy, 100 minus the idle and iowait share of the ticks in /proc/stat.", N, TickShare, kStat, bit(f::Idle) | bit(f::IoWait), kCpuAll, 1, Unit::Percent, true, true, 100},
    CounterDef{"% User Time", "Percentage of time in user mode, user plus nice ticks of /proc/stat.", A, TickShare, kStat, bit(f::User) | bit(f::Nice), kCpuAll, 1, Unit::Percent, true},
    CounterDef{"% Privileged Time", "Percentage of time in kernel mode, the system ticks of /proc/stat.", A, TickShare, kStat, bit(f::System), kCpuAll, 1, Unit::Percent, true},
    CounterDef{"% Interrupt Time", "Percentage of time servicing hardware interrupts, the irq ticks of /proc/stat.", A, TickShare, kStat, bit(f::Irq), kCpuAll, 1, Unit::Percent, true},
    CounterDef{"% DPC Time", "Percentage of time servicing deferred work (softirqs), the softirq ticks of /proc/stat.", A, TickShare, kStat, bit(f::SoftIrq), kCpuAll, 1, Unit::Percent, true},
    CounterDef{"% Idle Time", "Percentage of time the processor was idle, the idle ticks of /proc/stat.", A, TickShare, kStat, bit(f::Idle), kCpuAll, 1, Unit::Percent, true, false, 100},
    CounterDef{"% IO Wait Time", "Percentage of time idle while disk I/O was outstanding, the iowait ticks of /proc/stat.", A, TickShare, kStat, bit(f::IoWait), kCpuAll, 1, Unit::Percent, true},
    CounterDef{"% Steal Time", "Percentage of time a hypervisor ran something else while this virtual cpu wanted to run, the steal ticks of /proc/stat.", E, TickShare, kStat, bit(f::Steal), kCpuAll, 1, Unit::Percent, true},
};
// clang-format on

void fromCpu(const sources::CpuTimes& t, RawRecord& out) {
    using namespace field;
    out.set(User, t.user);
    out.set(Nice, t.nice);  // guest and guest_nice are already inside these two
    out.set(System, t.system);
    out.set(Idle, t.idle);
    out.set(IoWait, t.iowait);
    out.set(Irq, t.irq);
    out.set(SoftIrq, t.softirq);
    out.set(Steal, t.steal);
}

class ProcessorProvider final : public TableProvider {
public:
    ProcessorProvider()
        : TableProvider({"Processor", "Time the processors spent in each state, from the cpu lines of /proc/stat.", true, "cpu"},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string> out;
        if (const sources::ProcStat* stat = sources.get<ProcStatSource>()) {
            out.emplace_back(kTotal);
            for (const auto& cpu : stat->cpus) out.push_back(std::to_string(cpu.id));
        }
        return out;
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        const sources::ProcStat* stat = sources.get<ProcStatSource>();
        if (stat == nullptr) return void(out.status = PDH_CSTATUS_INVALID_DATA);
        if (b.instance == kTotal) return fromCpu(stat->total, out);
        const std::optional<std::int32_t> id =
            b.instance == "0" ? std::optional<std::int32_t>(0) : sources::parsePid(b.instance);
        if (id) {
            for (const sources::CpuLine& cpu : stat->cpus)
                if (cpu.id == static_cast<unsigned>(*id)) return fromCpu(cpu.times, out);
        }
        out.status = PDH_CSTATUS_NO_INSTANCE;
    }
};

}  // namespace

const Provider& processorProvider() {
    static const ProcessorProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
