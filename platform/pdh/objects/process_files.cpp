#include "platform/pdh/objects/process_files.h"

#include <algorithm>

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
        if (hz > 0) u.ticksPerSecond = static_cast<std::uint64_t>(hz);
        if (page > 0) u.pageSize = static_cast<std::uint64_t>(page);
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
    return procRoot + "proc/" + std::to_string(pid) + "/";
}

bool wants(PidFiles files, PidFile file) { return (files & src(file)) != 0; }

void readExtras(SystemReader& reader, PidFiles files, const std::string& dir, KeptFile* statusFile,
                KeptFile* ioFile, std::string& buffer, std::vector<std::string>& listing, ProcessFiles& out) {
    if (wants(files, PidStatus)) {
        out.statusRead = true;
        const int error = statusFile != nullptr ? statusFile->read(reader, buffer) : reader.readFile(dir + "status", buffer);
        out.status = error == 0 ? sources::parsePidStatus(buffer) : std::nullopt;
    }
    if (wants(files, PidIo)) {
        out.ioRead = true;
        // Only the owner (or a privileged reader) may read io: EACCES is common.
        const int error = ioFile != nullptr ? ioFile->read(reader, buffer) : reader.readFile(dir + "io", buffer);
        out.io = error == 0 ? sources::parsePidIo(buffer) : std::nullopt;
    }
    if (wants(files, PidFd)) {
        out.fdRead = true;
        out.fds = reader.listDirectory(dir + "fd", listing) == 0 ? std::optional<std::uint64_t>(listing.size())
                                                                  : std::nullopt;
    }
}

}  // namespace

ProcessTracker::ProcessTracker(ProcessInstance instance, const Roots& roots)
    : instance_(std::move(instance)),
      dir_(pidDir(roots.proc, instance_.pid)),
      stat_(dir_ + "stat"),
      status_file_(dir_ + "status"),
      io_(dir_ + "io") {}

void ProcessTracker::forget() {
    stat_.close();
    status_file_.close();
    io_.close();
}

void ProcessTracker::collect(SourceCache& cache, PidFiles files) {
    SystemReader& reader = cache.reader();
    std::string& buffer = cache.buffer();
    files_.stat.reset();
    files_.status.reset();
    files_.io.reset();
    files_.fds.reset();
    files_.statusRead = files_.ioRead = files_.fdRead = false;
    status_ = PDH_CSTATUS_NO_INSTANCE;
    if (lost_) return;

    // A kept descriptor of /proc/PID/stat stays bound to the process it was
    // opened on: once that process is gone it fails (ESRCH), even if the pid is
    // reused, so it cannot hand over another process's numbers.
    if (stat_.read(reader, buffer) != 0) {
        forget();
        lost_ = identified_;
        return;
    }
    std::optional<sources::PidStat> st = sources::parsePidStat(buffer);
    if (!st || st->pid != instance_.pid) {
        if (!identified_) stat_.close();
        status_ = PDH_CSTATUS_INVALID_DATA;
        return;
    }
    if (identified_ && st->starttime != starttime_) {
        forget();
        lost_ = true;
        return;
    }
    if (st->comm != instance_.name) return;  // renamed, or another process on the pid
    if (!identified_) {
        identified_ = true;
        starttime_ = st->starttime;
    }
    files_.stat = std::move(st);
    status_ = PDH_CSTATUS_VALID_DATA;
    readExtras(reader, files, dir_, &status_file_, &io_, buffer, cache.listing(), files_);
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
    std::string path;
    for (const std::int32_t pid : pids) {
        const ProcessTracker* lender = nullptr;
        for (const ProcessTracker* t : lenders_)
            if (t != nullptr && t->instance().pid == pid && t->status() == PDH_CSTATUS_VALID_DATA) lender = t;

        ProcessFiles& f = scratch_;
        f = ProcessFiles{};
        path = pidDir(procRoot_, pid);
        if (lender != nullptr) {
            f = lender->files();
        } else {
            if (reader.readFile(path + "stat", buffer) != 0) continue;  // exited since the listing
            f.stat = sources::parsePidStat(buffer);
            if (!f.stat) continue;
        }
        const PidFiles missing = files & ~((f.statusRead ? src(PidStatus) : 0u) | (f.ioRead ? src(PidIo) : 0u) |
                                           (f.fdRead ? src(PidFd) : 0u));
        readExtras(reader, missing, path, nullptr, nullptr, buffer, listing, f);

        RawRecord r;
        fillProcessRecord(f, units, r);
        threadCount_ += f.stat->numThreads;
        seenValid |= r.valid;
        for (unsigned g : {field::Rss, field::RssAnon, field::Vsize, field::Threads, field::Fds})
            if ((r.valid & bit(g)) != 0) gauges[g] += r.values[g];

        Seen seen{pid, f.stat->starttime, r.valid, {}};
        for (std::size_t i = 0; i < kCumulative.size(); ++i) seen.counts[i] = r.values[kCumulative[i]];
        const auto before = std::lower_bound(previous_.begin(), previous_.end(), pid,
                                             [](const Seen& s, std::int32_t p) { return s.pid < p; });
        const bool survivor = before != previous_.end() && before->pid == pid && before->starttime == seen.starttime;
        for (std::size_t i = 0; i < kCumulative.size(); ++i) {
            const FieldMask b = bit(kCumulative[i]);
            if ((seen.valid & b) == 0) continue;
            if (survivor) {
                // A field that just became readable sets a baseline, not a burst.
                if ((before->valid & b) != 0 && seen.counts[i] >= before->counts[i])
                    deltas[i] += seen.counts[i] - before->counts[i];
            } else {
                deltas[i] += seen.counts[i];  // born since the last collect, or the first collect
            }
        }
        current_.push_back(seen);
    }
    std::swap(previous_, current_);
    for (std::size_t i = 0; i < kCumulative.size(); ++i) accumulated_[i] += deltas[i];

    for (unsigned g : {field::Rss, field::RssAnon, field::Vsize, field::Threads, field::Fds})
        if ((seenValid & bit(g)) != 0) total_.set(g, gauges[g]);
    for (std::size_t i = 0; i < kCumulative.size(); ++i)
        if ((seenValid & bit(kCumulative[i])) != 0) total_.set(kCumulative[i], accumulated_[i]);
    total_.set(field::Pid, 0);
    total_.set(field::Ppid, 0);
    total_.start = 0.0;
    return this;
}

}  // namespace vantorel::pdh
