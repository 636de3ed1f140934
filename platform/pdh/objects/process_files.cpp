#include "platform/pdh/objects/process_files.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <sys/resource.h>
#include <unistd.h>

#include "platform/pdh/sources/proc_entries.h"

namespace vantorel::pdh {

std::optional<ProcessInstance> parseProcessInstance(std::string_view instance) {
    const std::size_t colon = instance.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::optional<std::int32_t> pid = sources::parsePid(instance.substr(colon + 1));
    if (!pid) return std::nullopt;
    return ProcessInstance{std::string(instance.substr(0, colon)), *pid};
}

std::string processInstanceName(std::string_view comm, std::int32_t pid) {
    std::string name(comm);
    name += ':';
    name += std::to_string(pid);
    return name;
}

const ProcessUnits& ProcessUnits::ofThisMachine() {
    static const ProcessUnits units = [] {
        ProcessUnits u;
        const long hz = ::sysconf(_SC_CLK_TCK);
        const long page = ::sysconf(_SC_PAGESIZE);
        const long cpus = ::sysconf(_SC_NPROCESSORS_ONLN);
        if (hz > 0) u.ticksPerSecond = static_cast<std::uint64_t>(hz);
        if (page > 0) u.pageSize = static_cast<std::uint64_t>(page);
        if (cpus > 0) u.processors = static_cast<unsigned>(cpus);
        return u;
    }();
    return units;
}

void fillProcessRecord(const ProcessFiles& files, const ProcessUnits& units, RawRecord& out) {
    using namespace field;
    if (!files.stat) return;
    const sources::PidStat& st = *files.stat;
    const std::uint64_t hz = units.ticksPerSecond != 0 ? units.ticksPerSecond : 100;
    // Times in microseconds keep whole numbers for any USER_HZ.
    out.set(Utime, st.utime * 1000000 / hz);
    out.set(Stime, st.stime * 1000000 / hz);
    out.set(Rss, st.rss * units.pageSize);
    out.set(Vsize, st.vsize);
    out.set(Threads, st.numThreads);
    out.set(Pid, static_cast<std::uint64_t>(st.pid > 0 ? st.pid : 0));
    out.set(Ppid, static_cast<std::uint64_t>(st.ppid > 0 ? st.ppid : 0));
    out.set(MinFlt, st.minflt);
    out.set(MajFlt, st.majflt);
    out.set(NiceValue, static_cast<std::uint64_t>(static_cast<std::int64_t>(st.nice)));  // read back as signed
    out.start = static_cast<double>(st.starttime) / static_cast<double>(hz);
    out.ceiling = 100.0 * units.processors;
    if (files.status) {
        if (files.status->rssAnon) {
            out.set(RssAnon, *files.status->rssAnon);
        } else if (!files.status->vmRss) {
            out.set(RssAnon, 0);  // a kernel thread: no user memory at all
        }
        if (files.status->voluntaryCtxtSwitches) out.set(VoluntaryCtxt, *files.status->voluntaryCtxtSwitches);
        if (files.status->nonvoluntaryCtxtSwitches) out.set(InvoluntaryCtxt, *files.status->nonvoluntaryCtxtSwitches);
    }
    if (files.io) {
        const sources::PidIo& io = *files.io;
        if (io.rchar) out.set(Rchar, *io.rchar);
        if (io.wchar) out.set(Wchar, *io.wchar);
        if (io.syscr) out.set(Syscr, *io.syscr);
        if (io.syscw) out.set(Syscw, *io.syscw);
        if (io.readBytes) out.set(ReadBytes, *io.readBytes);
        if (io.writeBytes) out.set(WriteBytes, *io.writeBytes);
    }
    if (files.fds) out.set(Fds, *files.fds);
}

namespace {

std::string pidDir(const std::string& procRoot, std::int32_t pid) {
    return procRoot + "proc/" + std::to_string(pid);
}

bool wants(PidFiles files, PidFile file) { return (files & src(file)) != 0; }

int readKept(OpenDirectory& dir, std::unique_ptr<OpenFile>* kept, const char* name, std::string& buffer) {
    if (kept == nullptr) return dir.readFile(name, buffer);
    if (*kept == nullptr) {
        int error = 0;
        *kept = dir.open(name, error);
        if (*kept == nullptr) return buffer.clear(), error;
    }
    return (*kept)->read(buffer);
}

// status, io and fd of a process whose directory is held; `statusFile` and
// `ioFile` keep those files open between collects, or are null.
void readExtras(OpenDirectory& dir, PidFiles files, std::unique_ptr<OpenFile>* statusFile,
                std::unique_ptr<OpenFile>* ioFile, std::string& buffer, std::vector<std::string>& listing,
                ProcessFiles& out) {
    if (wants(files, PidStatus)) {
        out.statusRead = true;
        out.status = readKept(dir, statusFile, "status", buffer) == 0 ? sources::parsePidStatus(buffer) : std::nullopt;
    }
    if (wants(files, PidIo)) {
        out.ioRead = true;
        // Only the owner (or a privileged reader) may read io: EACCES is common.
        out.io = readKept(dir, ioFile, "io", buffer) == 0 ? sources::parsePidIo(buffer) : std::nullopt;
    }
    if (wants(files, PidFd)) {
        out.fdRead = true;
        out.fds = dir.listDirectory("fd", listing) == 0 ? std::optional<std::uint64_t>(listing.size()) : std::nullopt;
    }
}

}  // namespace

ProcessTracker::ProcessTracker(ProcessInstance instance, const Roots& roots)
    : instance_(std::move(instance)), dirPath_(pidDir(roots.proc, instance_.pid)) {}

void ProcessTracker::forget() {
    statFile_.reset();
    statusFile_.reset();
    ioFile_.reset();
    dir_.reset();
}

void ProcessTracker::collect(SourceCache& cache, PidFiles files) {
    SystemReader& reader = cache.reader();
    std::string& buffer = cache.buffer();
    files_ = ProcessFiles{};
    status_ = PDH_CSTATUS_NO_INSTANCE;
    if (lost_) return;

    readAt_ = reader.bootSeconds();
    int error = 0;
    if (dir_ == nullptr) dir_ = reader.openDirectory(dirPath_, error);
    if (dir_ != nullptr && statFile_ == nullptr) statFile_ = dir_->open("stat", error);
    if (dir_ == nullptr || statFile_ == nullptr || statFile_->read(buffer) != 0) {
        forget();
        lost_ = identified_;
        return;
    }
    std::optional<sources::PidStat> st = sources::parsePidStat(buffer);
    if (!st || st->pid != instance_.pid) {
        if (!identified_) forget();
        status_ = PDH_CSTATUS_INVALID_DATA;
        return;
    }
    if (identified_ && st->starttime != starttime_) {
        forget();
        lost_ = true;
        return;
    }
    if (st->comm != instance_.name) {
        if (!identified_) forget();  // another process holds the pid: look afresh next time
        return;                      // renamed since it was found
    }
    if (!identified_) {
        identified_ = true;
        starttime_ = st->starttime;
    }
    files_.stat = std::move(st);
    status_ = PDH_CSTATUS_VALID_DATA;
    readExtras(*dir_, files, &statusFile_, &ioFile_, buffer, cache.listing(), files_);
}

std::size_t ProcessScan::maxKeptStats() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 1024;
    return static_cast<std::size_t>(limit.rlim_cur / 4);
}

int ProcessScan::readStat(SystemReader& reader, std::int32_t pid, const std::string& dir, std::string& buffer) {
    const std::string path = dir + "/stat";
    auto kept = keptStats_.find(pid);
    if (kept != keptStats_.end()) {
        kept->second.seen = generation_;
        // A kept stat file fails once its process is gone, even if the pid was
        // reused: then the pid's new process is opened afresh.
        if (kept->second.file->read(buffer) == 0) return 0;
        keptStats_.erase(kept);
    }
    if (keptStats_.size() < keepLimit_) {
        int error = 0;
        std::unique_ptr<OpenFile> file = reader.open(path, error);
        if (file != nullptr) {
            error = file->read(buffer);
            if (error == 0) keptStats_.emplace(pid, KeptStat{std::move(file), generation_});
            return error;
        }
        if (error != EMFILE && error != ENFILE) return error;
    }
    return reader.readFile(path, buffer);  // out of descriptors to keep: open and close
}

const ProcessScan* ProcessScan::load(SourceCache& cache) {
    SystemReader& reader = cache.reader();
    std::string& buffer = cache.buffer();
    std::vector<std::string>& listing = cache.listing();
    const ProcessUnits& units = ProcessUnits::ofThisMachine();
    const PidFiles files = files_;
    total_ = RawRecord{};
    total_.time = cache.now();
    listed_ = reader.listDirectory(procRoot_ + "proc", pidNames_) == 0;
    if (!listed_) {
        total_.status = PDH_CSTATUS_INVALID_DATA;
        return this;
    }
    const std::vector<std::int32_t> pids = sources::pidsFromEntries(pidNames_);
    processCount_ = pids.size();
    threadCount_ = 0;
    total_.status = PDH_CSTATUS_VALID_DATA;
    if (!wants(files, PidStat)) return this;

    std::array<std::uint64_t, kMaxFields> gauges{};
    Counts deltas{};
    FieldMask seenValid = 0;
    current_.clear();
    if (!lendersSorted_) {
        std::sort(lenders_.begin(), lenders_.end());
        lendersSorted_ = true;
    }
    const double now = cache.now();
    const double collectInterval = previous_.empty() ? 0.0 : now - previousNow_;
    previousNow_ = now;
    std::string path;
    ++generation_;
    keepLimit_ = maxKeptStats();
    for (const std::int32_t pid : pids) {
        const ProcessTracker* lender = nullptr;
        const auto lenders = std::equal_range(lenders_.begin(), lenders_.end(), std::make_pair(pid, nullptr),
                                              [](const auto& a, const auto& b) { return a.first < b.first; });
        for (auto it = lenders.first; it != lenders.second; ++it)
            if (it->second->status() == PDH_CSTATUS_VALID_DATA) lender = it->second;

        ProcessFiles& f = scratch_;
        f = ProcessFiles{};
        path = pidDir(procRoot_, pid);
        const double readAt = lender != nullptr ? lender->readAt() : reader.bootSeconds();
        const PidFiles missing = files & ~((lender != nullptr && lender->files().statusRead ? src(PidStatus) : 0u) |
                                           (lender != nullptr && lender->files().ioRead ? src(PidIo) : 0u) |
                                           (lender != nullptr && lender->files().fdRead ? src(PidFd) : 0u));
        std::unique_ptr<OpenDirectory> own;
        OpenDirectory* dir = nullptr;
        if (lender != nullptr) {
            f = lender->files();
            dir = lender->directory();  // what the lender did not read, through its directory
        } else if ((missing & ~src(PidStat)) != 0) {
            // stat and the others through one directory, so that all of them are
            // of the process whose stat was read.
            int error = 0;
            own = reader.openDirectory(path, error);
            if (own == nullptr || own->readFile("stat", buffer) != 0) continue;  // exited since the listing
            f.stat = sources::parsePidStat(buffer);
            if (!f.stat) continue;
            dir = own.get();
        } else {
            if (readStat(reader, pid, path, buffer) != 0) continue;  // exited since the listing
            f.stat = sources::parsePidStat(buffer);
            if (!f.stat) continue;
        }
        if (dir != nullptr) readExtras(*dir, missing & ~src(PidStat), nullptr, nullptr, buffer, listing, f);

        RawRecord r;
        fillProcessRecord(f, units, r);
        threadCount_ += f.stat->numThreads;
        seenValid |= r.valid;
        for (unsigned g : {field::Rss, field::RssAnon, field::Vsize, field::Threads, field::Fds})
            if ((r.valid & bit(g)) != 0) gauges[g] += r.values[g];

        Seen seen{pid, f.stat->starttime, readAt, r.valid, {}};
        for (std::size_t i = 0; i < kCumulative.size(); ++i) seen.counts[i] = r.values[kCumulative[i]];
        const auto before = std::lower_bound(previous_.begin(), previous_.end(), pid,
                                             [](const Seen& s, std::int32_t p) { return s.pid < p; });
        const bool survivor = before != previous_.end() && before->pid == pid && before->starttime == seen.starttime;
        // Each process is read at its own moment of a long scan: its delta covers
        // the time between its two reads, which is brought to the collect's own
        // interval, so that the sum never claims more time than passed.
        const double ownInterval = survivor ? readAt - before->readAt : 0.0;
        const double stretch = ownInterval > 0.0 && collectInterval > 0.0 ? collectInterval / ownInterval : 1.0;
        for (std::size_t i = 0; i < kCumulative.size(); ++i) {
            const FieldMask b = bit(kCumulative[i]);
            if ((seen.valid & b) == 0) continue;
            if (survivor) {
                // A field that just became readable sets a baseline, not a burst.
                if ((before->valid & b) != 0 && seen.counts[i] >= before->counts[i])
                    deltas[i] += static_cast<std::uint64_t>(
                        std::llround(static_cast<double>(seen.counts[i] - before->counts[i]) * stretch));
            } else {
                deltas[i] += seen.counts[i];  // born since the last collect, or the first collect
            }
        }
        current_.push_back(seen);
    }
    std::swap(previous_, current_);
    // Forget the kept stat files of processes that were not listed this time.
    std::erase_if(keptStats_, [&](const auto& kept) { return kept.second.seen != generation_; });
    for (std::size_t i = 0; i < kCumulative.size(); ++i) accumulated_[i] += deltas[i];

    for (unsigned g : {field::Rss, field::RssAnon, field::Vsize, field::Threads, field::Fds})
        if ((seenValid & bit(g)) != 0) total_.set(g, gauges[g]);
    for (std::size_t i = 0; i < kCumulative.size(); ++i)
        if ((seenValid & bit(kCumulative[i])) != 0) total_.set(kCumulative[i], accumulated_[i]);
    total_.set(field::Pid, 0);
    total_.set(field::Ppid, 0);
    total_.start = 0.0;
    total_.ceiling = 100.0 * units.processors;
    return this;
}

}  // namespace vantorel::pdh
