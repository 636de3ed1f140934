#include "platform/pdh/objects/system.h"

#include <array>
#include <cmath>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/objects/process_files.h"
#include "platform/pdh/sources/file_nr_reader.h"
#include "platform/pdh/sources/loadavg_reader.h"
#include "platform/pdh/sources/proc_stat_reader.h"
#include "platform/pdh/sources/uptime_reader.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

enum Source : unsigned { Stat, Uptime, ProcessList, ProcessStats, Loadavg, FileNr, SourceCount };
constexpr SourceMask kLoad = src(Loadavg);
constexpr SourceMask kFiles = src(FileNr);
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
    CounterDef{"Load Average 1 Minute", "Runnable and uninterruptible threads averaged over the last minute, from /proc/loadavg.", N, Gauge, kLoad, bit(f::Load1), 0, 0.01, Unit::Count},
    CounterDef{"Load Average 5 Minutes", "Runnable and uninterruptible threads averaged over the last five minutes, from /proc/loadavg.", A, Gauge, kLoad, bit(f::Load5), 0, 0.01, Unit::Count},
    CounterDef{"Load Average 15 Minutes", "Runnable and uninterruptible threads averaged over the last fifteen minutes, from /proc/loadavg.", A, Gauge, kLoad, bit(f::Load15), 0, 0.01, Unit::Count},
    CounterDef{"File Handles Allocated", "Open file handles of the whole system, the first number of /proc/sys/fs/file-nr.", A, Gauge, kFiles, bit(f::FilesAllocated), 0, 1, Unit::Count},
    CounterDef{"File Handles Maximum", "Most file handles the system will open, fs.file-max, the last number of /proc/sys/fs/file-nr.", E, Gauge, kFiles, bit(f::FilesMax), 0, 1, Unit::Count},
    CounterDef{"% File Handles In Use", "Open file handles as a percentage of the most the system allows, from /proc/sys/fs/file-nr.", A, Ratio, kFiles, bit(f::FilesAllocated), bit(f::FilesMax), 1, Unit::Percent, true},
};
// clang-format on

class SystemProvider final : public TableProvider {
public:
    SystemProvider()
        : TableProvider({"System", "Machine-wide process, thread, scheduling, interrupt, load and file handle figures, from /proc/stat, /proc/uptime, /proc/loadavg, /proc/sys/fs/file-nr and /proc.", false},
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
        if (b.needs.has(Loadavg)) {
            if (const sources::Loadavg* load = sources.get<LoadavgSource>()) {
                // The kernel prints two decimals: hundredths are exact.
                out.set(Load1, static_cast<std::uint64_t>(std::llround(load->load1 * 100.0)));
                out.set(Load5, static_cast<std::uint64_t>(std::llround(load->load5 * 100.0)));
                out.set(Load15, static_cast<std::uint64_t>(std::llround(load->load15 * 100.0)));
            }
        }
        if (b.needs.has(FileNr)) {
            if (const sources::FileNr* files = sources.get<FileNrSource>()) {
                out.set(FilesAllocated, files->allocated);
                out.set(FilesMax, files->maximum);
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
