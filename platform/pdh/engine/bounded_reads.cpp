#include "platform/pdh/engine/bounded_reads.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantorel::pdh {
namespace {

// Shared by the collect and its worker, which may outlive the collect (and the
// query) while a driver keeps it inside a read.
struct Batch {
    struct Job {
        std::shared_ptr<DeviceFile> file;
        int error = 0;
        std::string text;
    };
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<Job> jobs;
    std::size_t started = 0;  // jobs[0, started) were begun by the worker
    std::size_t done = 0;     // jobs[0, done) have their result
    bool abandoned = false;
};

}  // namespace

bool BoundedReads::request(const std::shared_ptr<DeviceFile>& file, SystemReader& reader) {
    DeviceFile& f = *file;
    f.readable_ = false;
    f.text_.clear();
    if (f.busy_.load(std::memory_order_acquire)) {
        f.error_ = ETIMEDOUT;  // still inside last time's read
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
        batch->jobs.push_back({std::move(f), 0, {}});
    }
    asked_.clear();

    std::thread([batch] {
        for (std::size_t i = 0;; ++i) {
            {
                std::lock_guard lock(batch->mutex);
                if (i == batch->jobs.size() || batch->abandoned) {
                    // Unread files are free again; the collect gave them no value.
                    for (std::size_t j = i; j < batch->jobs.size(); ++j)
                        batch->jobs[j].file->busy_.store(false, std::memory_order_release);
                    return;
                }
                batch->started = i + 1;
            }
            Batch::Job& job = batch->jobs[i];
            DeviceFile& f = *job.file;
            job.error = f.file_->read(job.text);
            // A device that went away (or a driver error) may come back under
            // the same path: open afresh next time.
            if (job.error != 0) f.file_.reset();
            {
                std::lock_guard lock(batch->mutex);
                batch->done = i + 1;
                f.busy_.store(false, std::memory_order_release);
            }
            batch->finished.notify_all();
        }
    }).detach();

    std::unique_lock lock(batch->mutex);
    batch->finished.wait_until(lock, std::chrono::steady_clock::now() + kDeadline,
                               [&] { return batch->done == batch->jobs.size(); });
    batch->abandoned = true;
    for (std::size_t i = 0; i < batch->jobs.size(); ++i) {
        Batch::Job& job = batch->jobs[i];
        DeviceFile& f = *job.file;
        if (i < batch->done) {
            f.late_ = false;
            f.error_ = job.error;
            f.readable_ = job.error == 0;
            if (f.readable_) f.text_ = std::move(job.text);
        } else if (i < batch->started) {
            f.late_ = true;  // the worker is stuck in its read
            f.error_ = ETIMEDOUT;
        } else {
            f.busy_.store(false, std::memory_order_release);  // never begun: free for the next collect
            f.error_ = ETIMEDOUT;
        }
    }
    return this;
}

}  // namespace vantorel::pdh
