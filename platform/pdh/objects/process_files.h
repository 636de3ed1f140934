// Per-process files, shared by the Process and System objects: a tracker per
// watched "name:pid" instance, and a scan of every process for Process(_Total)
// and System's Processes and Threads.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/pdh/engine/catalogue.h"
#include "platform/pdh/engine/kept_file.h"
#include "platform/pdh/engine/provider.h"
#include "platform/pdh/engine/raw_record.h"
#include "platform/pdh/engine/source_cache.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/sources/pid_io.h"
#include "platform/pdh/sources/pid_stat.h"
#include "platform/pdh/sources/pid_status.h"

namespace vantorel::pdh {

namespace field {
enum Process : unsigned {
    Utime, Stime, Rss, RssAnon, Vsize, Threads, Pid, Ppid, MinFlt, MajFlt, Fds, Rchar, Wchar, Syscr, Syscw,
    ReadBytes, WriteBytes, VoluntaryCtxt, InvoluntaryCtxt, NiceValue, ProcessFieldCount
};
}  // namespace field
static_assert(field::ProcessFieldCount <= kMaxFields);

// The files of /proc/PID a counter needs; stat is always read, it tells the
// process apart.
enum PidFile : unsigned { PidStat, PidStatus, PidIo, PidFd };
using PidFiles = SourceMask;

// "name:pid": the name is everything before the last ':' (a name may hold ':').
struct ProcessInstance {
    std::string name;
    std::int32_t pid = 0;
};
std::optional<ProcessInstance> parseProcessInstance(std::string_view instance);
std::string processInstanceName(std::string_view comm, std::int32_t pid);

// One process's files as read on one collect.
struct ProcessFiles {
    std::optional<sources::PidStat> stat;
    bool statusRead = false;
    std::optional<sources::PidStatus> status;
    bool ioRead = false;
    std::optional<sources::PidIo> io;
    bool fdRead = false;
    std::optional<std::uint64_t> fds;
};

struct ProcessUnits {
    std::uint64_t ticksPerSecond = 100;
    std::uint64_t pageSize = 4096;
    unsigned processors = 1;  // online: a process's share of time cannot pass 100 x this
    static const ProcessUnits& ofThisMachine();
};

// Fills the Process fields of `out` from one process's files, with the true
// ceiling of its shares of time.
void fillProcessRecord(const ProcessFiles& files, const ProcessUnits& units, RawRecord& out);

// Watches one instance. The process is the (pid, start time) found the first
// time the name and pid matched; after that, a new process on the same pid, or
// a changed name, is not this instance.
class ProcessTracker final : public InstanceState {
public:
    ProcessTracker(ProcessInstance instance, const Roots& roots);

    void collect(SourceCache& cache, PidFiles files);

    const ProcessInstance& instance() const { return instance_; }
    // When this collect read the process: its shares of time are over the
    // interval between two such moments.
    double readAt() const { return readAt_; }
    // The process's directory while the process is known, for reading more of it.
    OpenDirectory* directory() const { return status_ == PDH_CSTATUS_VALID_DATA ? dir_.get() : nullptr; }
    PDH_STATUS status() const { return status_; }
    const ProcessFiles& files() const { return files_; }
    // Found once and gone since: a counter added now must not inherit it.
    bool expired() const override { return lost_; }

private:
    void forget();

    ProcessInstance instance_;
    std::string dirPath_;
    // Every file is read through the process's own directory, opened before
    // its identity is checked: once the process is gone, reads through it fail
    // even if the pid is reused, so no read can lend another process's numbers.
    std::unique_ptr<OpenDirectory> dir_;
    std::unique_ptr<OpenFile> statFile_, statusFile_, ioFile_;
    double readAt_ = 0.0;
    bool identified_ = false;
    bool lost_ = false;
    std::uint64_t starttime_ = 0;
    PDH_STATUS status_ = PDH_NO_DATA;
    ProcessFiles files_;
};

// Every process, read at most once per collect for all who need it.
class ProcessScan {
public:
    using Value = ProcessScan;

    explicit ProcessScan(const Roots& roots) : procRoot_(roots.proc) {}

    // Planning: the files some counter needs of every process, and the
    // trackers that read a process anyway and lend their files, so that no
    // process file is read twice in one collect.
    void resetPlan() {
        files_ = 0;
        lenders_.clear();
        lendersSorted_ = true;
    }
    void want(PidFiles files) { files_ |= files; }
    void lend(const ProcessTracker* tracker) {
        lenders_.emplace_back(tracker->instance().pid, tracker);
        lendersSorted_ = false;
    }

    const ProcessScan* load(SourceCache& cache);

    bool listed() const { return listed_; }
    std::uint64_t processCount() const { return processCount_; }
    std::uint64_t threadCount() const { return threadCount_; }
    // The _Total record: gauges summed over the processes; cumulative fields grow
    // by each surviving process's own delta (plus new processes' whole counts),
    // so processes that exit never make the total go backwards.
    const RawRecord& total() const { return total_; }

private:
    static constexpr std::array kCumulative{
        field::Utime, field::Stime, field::MinFlt, field::MajFlt, field::Rchar, field::Wchar, field::Syscr,
        field::Syscw, field::ReadBytes, field::WriteBytes, field::VoluntaryCtxt, field::InvoluntaryCtxt};
    using Counts = std::array<std::uint64_t, kCumulative.size()>;
    struct Seen {
        std::int32_t pid = 0;
        std::uint64_t starttime = 0;
        double readAt = 0.0;
        FieldMask valid = 0;
        Counts counts{};
    };

    // Each process's stat file is kept open between collects, so a collect
    // costs a read per process rather than an open, a read and a close.
    struct KeptStat {
        std::unique_ptr<OpenFile> file;
        std::uint64_t seen = 0;  // the last collect that listed the pid
    };
    // At most a quarter of the descriptors the process may open, so the
    // program around the library never runs short of them.
    static std::size_t maxKeptStats();
    int readStat(SystemReader& reader, std::int32_t pid, const std::string& dir, std::string& buffer);

    std::string procRoot_;
    PidFiles files_ = 0;
    std::unordered_map<std::int32_t, KeptStat> keptStats_;
    std::uint64_t generation_ = 0;
    std::size_t keepLimit_ = 0;
    std::vector<std::pair<std::int32_t, const ProcessTracker*>> lenders_;  // by pid, sorted when loading
    bool lendersSorted_ = true;
    double previousNow_ = 0.0;
    std::vector<std::string> pidNames_;
    std::vector<Seen> previous_, current_;
    Counts accumulated_{};
    bool listed_ = false;
    std::uint64_t processCount_ = 0;
    std::uint64_t threadCount_ = 0;
    RawRecord total_;
    ProcessFiles scratch_;
};

}  // namespace vantorel::pdh
