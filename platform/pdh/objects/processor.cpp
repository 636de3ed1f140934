#include "platform/pdh/objects/processor.h"

#include <algorithm>
#include <array>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/proc_entries.h"
#include "platform/pdh/sources/cpu_clocks_reader.h"
#include "platform/pdh/sources/interrupts_reader.h"
#include "platform/pdh/sources/proc_stat_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Stat, Clocks, Interrupts, SourceCount };
constexpr SourceMask kStat = src(Stat);
constexpr SourceMask kClock = src(Clocks);
constexpr SourceMask kIrq = src(Interrupts);
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
    CounterDef{"Processor Frequency", "Clock of the processor now in MHz, cpufreq's scaling_cur_freq, else the cpu MHz of /proc/cpuinfo; _Total is the mean.", A, Gauge, kStat | kClock, bit(f::ClockKhz), 0, 1e-3, Unit::Megahertz},
    CounterDef{"% of Maximum Frequency", "Clock of the processor now as a percentage of its highest, scaling_cur_freq over cpuinfo_max_freq of cpufreq.", A, Ratio, kStat | kClock, bit(f::ClockKhz), bit(f::MaxClockKhz), 1, Unit::Percent},
    CounterDef{"Interrupts/sec", "Interrupts the processor serviced per second, its column of /proc/interrupts; _Total is the intr rate of /proc/stat.", A, Rate, kStat | kIrq, bit(f::IrqCount), 0, 1, Unit::PerSecond},
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
        if (b.instance == kTotal) {
            fromCpu(stat->total, out);
            if (b.needs.has(Clocks)) totalClock(sources, out);
            if (b.needs.has(Interrupts) && stat->interrupts) out.set(field::IrqCount, *stat->interrupts);
            return;
        }
        const std::optional<std::int32_t> id =
            b.instance == "0" ? std::optional<std::int32_t>(0) : sources::parsePid(b.instance);
        const auto line = std::find_if(stat->cpus.begin(), stat->cpus.end(), [&](const sources::CpuLine& cpu) {
            return id && cpu.id == static_cast<unsigned>(*id);
        });
        if (line == stat->cpus.end()) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        fromCpu(line->times, out);
        if (b.needs.has(Clocks)) cpuClock(sources, line->id, out);
        if (b.needs.has(Interrupts)) cpuInterrupts(sources, line->id, out);
    }

private:
    static void cpuClock(SourceCache& sources, unsigned cpu, RawRecord& out) {
        const std::vector<CpuClock>* clocks = sources.get<CpuClocksSource>();
        if (clocks == nullptr) return;
        for (const CpuClock& c : *clocks) {
            if (c.cpu != cpu) continue;
            if (c.currentKhz) out.set(field::ClockKhz, *c.currentKhz);
            if (c.maximumKhz) out.set(field::MaxClockKhz, *c.maximumKhz);
        }
    }

    // The mean clock, and the sum of the maxima beside the sum of the clocks
    // (their ratio is the mean share weighted by each cpu's maximum); a cpu
    // lacking a value leaves it out.
    static void totalClock(SourceCache& sources, RawRecord& out) {
        const std::vector<CpuClock>* clocks = sources.get<CpuClocksSource>();
        if (clocks == nullptr || clocks->empty()) return;
        std::uint64_t current = 0;
        std::uint64_t maximum = 0;
        bool allCurrent = true;
        bool allMaximum = true;
        for (const CpuClock& c : *clocks) {
            allCurrent = allCurrent && c.currentKhz;
            allMaximum = allMaximum && c.maximumKhz;
            current += c.currentKhz.value_or(0);
            maximum += c.maximumKhz.value_or(0);
        }
        if (!allCurrent) return;
        out.set(field::ClockKhz, current / clocks->size());
        if (allMaximum) out.set(field::MaxClockKhz, maximum / clocks->size());
    }

    static void cpuInterrupts(SourceCache& sources, unsigned cpu, RawRecord& out) {
        const sources::InterruptColumns* irqs = sources.get<InterruptsSource>();
        if (irqs == nullptr) return;
        for (std::size_t i = 0; i < irqs->cpus.size(); ++i) {
            // Each line's count is a 32-bit counter: summed modulo 2^32, one
            // line's wrap reads as a wrap of the column.
            if (irqs->cpus[i] == cpu) out.set(field::IrqCount, irqs->totals[i] & 0xFFFFFFFFu);
        }
    }
};

}  // namespace

const Provider& processorProvider() {
    static const ProcessorProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
