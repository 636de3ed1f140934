#include "platform/pdh/engine/bounded_reads.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantorel::pdh {
namespace {

// Shared by the collect and its workers, which may outlive the collect (and the
// query) while a driver keeps one inside a read.
struct Batch {
    struct Job {
        std::shared_ptr<DeviceFile> file;
        bool started = false;
        bool done = false;
        int error = 0;
        std::string text;
    };
    std::mutex mutex;
    std::condition_variable progress;
    std::vector<Job> jobs;
    std::size_t next = 0;      // the next job a worker takes
    std::size_t finished = 0;  // jobs done
    std::size_t workers = 0;   // started for this batch
    bool abandoned = false;
};

void work(const std::shared_ptr<Batch>& batch) {
    for (;;) {
        std::size_t i = 0;
        {
            std::lock_guard lock(batch->mutex);
            if (batch->abandoned || batch->next == batch->jobs.size()) return;
            i = batch->next++;
            batch->jobs[i].started = true;
        }
        Batch::Job& job = batch->jobs[i];
        DeviceFile& f = *job.file;
        std::string text;
        const int error = f.readOnWorker(text);
        {
            std::lock_guard lock(batch->mutex);
            job.error = error;
            job.text = std::move(text);
            job.done = true;
            ++batch->finished;
            f.release();
        }
        batch->progress.notify_all();
    }
}

void startWorker(const std::shared_ptr<Batch>& batch) {
    ++batch->workers;
    std::thread([batch] { work(batch); }).detach();
}

}  // namespace

int DeviceFile::readOnWorker(std::string& text) {
    const int error = file_->read(text);
    // A device that went away (or a driver error) may come back under the same
    // path: open afresh next time.
    if (error != 0) file_.reset();
    return error;
}

void DeviceFile::release() { busy_.store(false, std::memory_order_release); }

bool BoundedReads::request(const std::shared_ptr<DeviceFile>& file, SystemReader& reader) {
    DeviceFile& f = *file;
    f.readable_ = false;
    f.text_.clear();
    if (f.busy_.load(std::memory_order_acquire)) {
        f.error_ = ETIMEDOUT;  // still inside an earlier collect's read
        return true;
    }
    if (f.file_ == nullptr) {
        int error = 0;
        f.file_ = reader.open(f.path_, error);
        if (f.file_ == nullptr) {
            f.error_ = error != 0 ? error : ENOENT;
            return false;
        }
    }
    f.error_ = ETIMEDOUT;  // until read
    if (std::find(asked_.begin(), asked_.end(), file) == asked_.end()) asked_.push_back(file);
    return true;
}

const BoundedReads* BoundedReads::load(SourceCache& /*cache*/) {
    if (asked_.empty()) return this;
    // Files that were slow before go last, so they hold up no others.
    std::stable_partition(asked_.begin(), asked_.end(), [](const auto& f) { return !f->late_; });
    auto batch = std::make_shared<Batch>();
    for (auto& f : asked_) {
        f->busy_.store(true, std::memory_order_release);
        batch->jobs.push_back({std::move(f), false, false, 0, {}});
    }
    asked_.clear();

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kDeadline;
    std::unique_lock lock(batch->mutex);
    startWorker(batch);
    while (batch->finished < batch->jobs.size()) {
        const std::size_t before = batch->finished;
        const Clock::time_point until = std::min(deadline, Clock::now() + kStall);
        batch->progress.wait_until(lock, until, [&] { return batch->finished != before; });
        if (Clock::now() >= deadline) break;
        // Every worker sits in a read that does not return: the rest of the
        // files go to a fresh one.
        const std::size_t inside = batch->next - batch->finished;
        if (batch->finished == before && inside >= batch->workers && batch->next < batch->jobs.size() &&
            batch->workers < kMaxWorkers)
            startWorker(batch);
    }
    batch->abandoned = true;
    for (Batch::Job& job : batch->jobs) {
        DeviceFile& f = *job.file;
        if (job.done) {
            f.late_ = false;
            f.error_ = job.error;
            f.readable_ = job.error == 0;
            if (f.readable_) f.text_ = std::move(job.text);
        } else if (job.started) {
            f.late_ = true;  // a worker is stuck in its read and frees it when it returns
            f.error_ = ETIMEDOUT;
        } else {
            f.release();  // never begun: free for the next collect
            f.error_ = ETIMEDOUT;
        }
    }
    return this;
}

}  // namespace vantorel::pdh
