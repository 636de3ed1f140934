#include "platform/pdh/objects/process.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "platform/pdh/objects/object_support.h"
#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {
namespace {

using namespace objects;
using enum Kind;
namespace f = field;

constexpr SourceMask kPid = src(PidStat);
constexpr SourceMask kStatus = src(PidStatus);
constexpr SourceMask kIo = src(PidIo);
constexpr SourceMask kFd = src(PidFd);
static_assert(fitsMasks<f::ProcessFieldCount, PidFd + 1>());

// Process times are held in microseconds; a share of time is a rate of busy seconds.
constexpr double kUsToPercent = 100.0 / 1e6;

// clang-format off
constexpr std::array kCounters{
    // name, description, detail, kind, sources, a, b, scale, unit, ceiling100, complement, stillValue
    CounterDef{"% Processor Time", "Percentage of one processor the process used, user plus system time of /proc/PID/stat; runs to 100 times the processors.", N, Rate, kPid, bit(f::Utime) | bit(f::Stime), 0, kUsToPercent, Unit::Percent},
    CounterDef{"% User Time", "Percentage of one processor the process used in user mode, utime of /proc/PID/stat.", A, Rate, kPid, bit(f::Utime), 0, kUsToPercent, Unit::Percent},
    CounterDef{"% Privileged Time", "Percentage of one processor the process used in kernel mode, stime of /proc/PID/stat.", A, Rate, kPid, bit(f::Stime), 0, kUsToPercent, Unit::Percent},
    CounterDef{"Working Set", "Resident memory of the process in bytes, rss of /proc/PID/stat times the page size.", N, Gauge, kPid, bit(f::Rss), 0, 1, Unit::Bytes},
    CounterDef{"Private Bytes", "Resident anonymous memory of the process in bytes, RssAnon of /proc/PID/status.", N, Gauge, kStatus, bit(f::RssAnon), 0, 1, Unit::Bytes},
    CounterDef{"Virtual Bytes", "Virtual address space of the process in bytes, vsize of /proc/PID/stat.", A, Gauge, kPid, bit(f::Vsize), 0, 1, Unit::Bytes},
    CounterDef{"Thread Count", "Threads of the process, num_threads of /proc/PID/stat.", N, Gauge, kPid, bit(f::Threads), 0, 1, Unit::Count},
    CounterDef{"ID Process", "Process id, from /proc/PID/stat.", N, Gauge, kPid, bit(f::Pid), 0, 1, Unit::Count},
    CounterDef{"Creating Process ID", "Id of the parent process, ppid of /proc/PID/stat.", A, Gauge, kPid, bit(f::Ppid), 0, 1, Unit::Count},
    CounterDef{"Elapsed Time", "Seconds since the process started, from starttime of /proc/PID/stat.", A, Elapsed, kPid, 0, 0, 1, Unit::Seconds},
    CounterDef{"Page Faults/sec", "Page faults of the process per second, minflt plus majflt of /proc/PID/stat.", A, Rate, kPid, bit(f::MinFlt) | bit(f::MajFlt), 0, 1, Unit::PerSecond},
    CounterDef{"Handle Count", "Open file descriptors of the process, the entries of /proc/PID/fd.", A, Gauge, kFd, bit(f::Fds), 0, 1, Unit::Count},
    CounterDef{"IO Read Bytes/sec", "Bytes the process read per second through any read call, rchar of /proc/PID/io.", A, Rate, kIo, bit(f::Rchar), 0, 1, Unit::BytesPerSecond},
    CounterDef{"IO Write Bytes/sec", "Bytes the process wrote per second through any write call, wchar of /proc/PID/io.", A, Rate, kIo, bit(f::Wchar), 0, 1, Unit::BytesPerSecond},
    CounterDef{"IO Read Operations/sec", "Read calls of the process per second, syscr of /proc/PID/io.", A, Rate, kIo, bit(f::Syscr), 0, 1, Unit::PerSecond},
    CounterDef{"IO Write Operations/sec", "Write calls of the process per second, syscw of /proc/PID/io.", A, Rate, kIo, bit(f::Syscw), 0, 1, Unit::PerSecond},
    CounterDef{"Disk Read Bytes/sec", "Bytes per second the process caused to be read from storage, read_bytes of /proc/PID/io.", A, Rate, kIo, bit(f::ReadBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"Disk Write Bytes/sec", "Bytes per second the process caused to be written to storage, write_bytes of /proc/PID/io.", A, Rate, kIo, bit(f::WriteBytes), 0, 1, Unit::BytesPerSecond},
    CounterDef{"Context Switches/sec", "Times per second the process's threads left the cpu, voluntary plus nonvoluntary_ctxt_switches of /proc/PID/status.", A, Rate, kStatus, bit(f::VoluntaryCtxt) | bit(f::InvoluntaryCtxt), 0, 1, Unit::PerSecond},
    CounterDef{"Priority Base", "Nice value of the process, -20 (favoured) to 19, field 19 of /proc/PID/stat; none for _Total.", A, SignedGauge, kPid, bit(f::NiceValue), 0, 1, Unit::Count},
};
// clang-format on

// Every process counter needs stat: it is what tells the process apart.
PidFiles filesFor(const Needs& needs) { return needs.sources | src(PidStat); }

// A name that is not "name:pid": no process is called that.
class NoSuchProcess final : public InstanceState {};

class ProcessProvider final : public TableProvider {
public:
    ProcessProvider()
        : TableProvider({"Process", "Each running process (name:pid), from /proc/PID/stat, status, io and fd.", true, "process", true},
                        kCounters) {}

    std::vector<std::string> instances(SourceCache& sources) const override {
        std::vector<std::string>& names = sources.listing();
        SystemReader& reader = sources.reader();
        const std::string procDir = sources.roots().proc + "proc";
        if (reader.listDirectory(procDir, names) != 0) return {};
        std::vector<std::tuple<std::string, std::int32_t>> found;
        std::string& buffer = sources.buffer();
        for (const std::int32_t pid : sources::pidsFromEntries(names)) {
            if (reader.readFile(procDir + "/" + std::to_string(pid) + "/stat", buffer) != 0) continue;
            const std::optional<sources::PidStat> st = sources::parsePidStat(buffer);
            if (st && st->pid == pid) found.emplace_back(st->comm, pid);
        }
        std::sort(found.begin(), found.end());
        std::vector<std::string> out{std::string(kTotal)};
        for (const auto& [comm, pid] : found) out.push_back(processInstanceName(comm, pid));
        return out;
    }

    std::unique_ptr<InstanceState> bind(std::string_view instance, const Roots& roots) const override {
        if (instance == kTotal) return nullptr;
        if (std::optional<ProcessInstance> parsed = parseProcessInstance(instance))
            return std::make_unique<ProcessTracker>(std::move(*parsed), roots);
        return std::make_unique<NoSuchProcess>();
    }

    void plan(const Binding& b, SourceCache& sources) const override {
        ProcessScan& scan = sources.source<ProcessScan>();
        if (b.state == nullptr) return scan.want(filesFor(b.needs));
        if (const auto* tracker = dynamic_cast<const ProcessTracker*>(b.state)) scan.lend(tracker);
    }

    void collectInstance(const Binding& b, SourceCache& sources) const override {
        if (auto* tracker = dynamic_cast<ProcessTracker*>(b.state)) tracker->collect(sources, filesFor(b.needs));
    }

    void extract(const Binding& b, SourceCache& sources, RawRecord& out) const override {
        if (b.state == nullptr) {
            const ProcessScan* scan = sources.get<ProcessScan>();
            const double now = out.time;
            out = scan->total();
            out.time = now;
            return;
        }
        const auto* tracker = dynamic_cast<const ProcessTracker*>(b.state);
        if (tracker == nullptr) return void(out.status = PDH_CSTATUS_NO_INSTANCE);
        out.status = tracker->status();
        if (out.status != PDH_CSTATUS_VALID_DATA) return;
        fillProcessRecord(tracker->files(), ProcessUnits::ofThisMachine(), out);
        out.time = tracker->readAt();
    }
};

}  // namespace

const Provider& processProvider() {
    static const ProcessProvider provider;
    return provider;
}

}  // namespace vantorel::pdh
