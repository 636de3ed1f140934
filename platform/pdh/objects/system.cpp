#include "platform/pdh/objects/system.h"

#include <array>
#include <cmath>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/process_files.h"
#include "platform/pdh/sources/proc_stat_reader.h"
#include "platform/pdh/sources/uptime_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Stat, Uptime, ProcessList, ProcessStats, SourceCount };
constexpr SourceMask kStat = src(Stat);
constexpr SourceMask kUptime = src(Uptime);
constexpr SourceMask kList = src(ProcessList);
constexpr SourceMask kPidStat = src(ProcessStats);
static_assert(fitsMasks<f::SystemFieldCount, SourceCount>());

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"Processes", "Number of processes, the numeric entries of /proc.", N, Gauge, kList, bit(f::ProcessCount), 0, 1, Unit::Count},
    CounterDef{"Threads", "Number of threads, the sum of the thread counts in /proc/PID/stat.", N, Gauge, kList | kPidStat, bit(f::ThreadCount), 0, 1, Unit::Count},
    CounterDef{"Context Switches/sec", "Context switches per second on all processors, the ctxt rate of /proc/stat.", N, Rate, kStat, bit(f::Ctxt), 0, 1, Unit::PerSecond},
    CounterDef{"Interrupts/sec", "Interrupts per second on all processors, the rate of the first intr number of /proc/stat.", A, Rate, kStat, bit(f::Intr), 0, 1, Unit::PerSecond},
    CounterDef{"Forks/sec", "Processes created per second, the rate of processes in /proc/stat.", A, Rate, kStat, bit(f::Forks), 0, 1, Unit::PerSecond},
    CounterDef{"Processor Queue Length", "Threads runnable now, procs_running of /proc/stat.", N, Gauge, kStat, bit(f::ProcsRunning), 0, 1, Unit::Count},
    CounterDef{"Processes Blocked", "Threads blocked on I/O now, procs_blocked of /proc/stat.", A, Gauge, kStat, bit(f::ProcsBlocked), 0, 1, Unit::Count},
    CounterDef{"System Up Time", "Seconds since boot, from /proc/uptime.", N, Gauge, kUptime, bit(f::UptimeCentis), 0, 0.01, Unit::Seconds},
};
// clang-format on

class SystemProvider final : public TableProvider {
public:
    SystemProvider()
        : TableProvider({"System", "Machine-wide process, thread, scheduling and interrupt figures, from /proc/stat, /proc/uptime and /proc.", false},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache&) const override { return {}; }

    void plan(const Binding& b, SourceCache& sources) const override {
        if (!b.needs.has(ProcessList)) return;
        ProcessScan& scan = sources.source<ProcessScan>();
        scan.want(0);
        if (b.needs.has(ProcessStats)) scan.want(src(PidStat));
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        using namespace field;
        if (b.needs.has(ProcessList)) {
            const ProcessScan* scan = sources.get<ProcessScan>();
            if (scan != nullptr && scan->listed()) {
                out.set(ProcessCount, scan->processCount());
                if (b.needs.has(ProcessStats)) out.set(ThreadCount, scan->threadCount());
            }
        }
        if (b.needs.has(Stat)) {
            if (const sources::ProcStat* st = sources.get<ProcStatSource>()) {
                if (st->ctxt) out.set(Ctxt, *st->ctxt);
                if (st->interrupts) out.set(Intr, *st->interrupts);
                if (st->processes) out.set(Forks, *st->processes);
                if (st->procsRunning) out.set(ProcsRunning, *st->procsRunning);
                if (st->procsBlocked) out.set(ProcsBlocked, *st->procsBlocked);
            }
        }
        if (b.needs.has(Uptime)) {
            if (const sources::Uptime* up = sources.get<UptimeSource>())
                out.set(UptimeCentis, static_cast<std::uint64_t>(std::llround(up->upSeconds * 100.0)));
        }
    }
};

}  // namespace

const Provider& systemProvider() {
    static const SystemProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
