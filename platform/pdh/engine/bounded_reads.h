// Reads of device attribute files (sensors, batteries, GPUs) whose drivers may
// sleep, fail or hang: one collect reads them all on a worker thread and waits
// at most kDeadline. When a read makes no progress for kStall, the files after
// it go to a fresh worker, so one sleeping driver does not take the others'
// values. A file not read in time has no value this collect; while its read is
// still stuck it is not asked again, so a hung driver costs one wait, once.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/pdh/engine/source_cache.h"

namespace vantorel::pdh {

class BoundedReads;

// One attribute file of one instance, kept open between collects.
class DeviceFile {
public:
    explicit DeviceFile(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }
    // This collect's text, when it was asked for and read whole in time.
    const std::string* text() const { return readable_ ? &text_ : nullptr; }
    // 0, the errno of the failed open or read, or ETIMEDOUT.
    int error() const { return error_; }

    // For BoundedReads' workers: the read itself, and the end of it.
    int readOnWorker(std::string& text);
    void release();

private:
    friend class BoundedReads;
    std::string path_;
    std::unique_ptr<OpenFile> file_;  // used by the worker while busy_
    std::atomic<bool> busy_{false};   // a worker is inside its read
    bool late_ = false;               // missed a deadline: read after the others
    bool readable_ = false;
    int error_ = 0;
    std::string text_;
};

class BoundedReads {
public:
    using Value = BoundedReads;
    static constexpr std::chrono::milliseconds kDeadline{200};
    static constexpr std::chrono::milliseconds kStall{25};
    static constexpr std::size_t kMaxWorkers = 4;  // per collect

    explicit BoundedReads(const Roots&) {}

    // Asks for the file in this collect (from collectInstance). Opens it now;
    // false when it cannot be opened (it does not exist): its error is set.
    bool request(const std::shared_ptr<DeviceFile>& file, SystemReader& reader);

    // Reads every file asked for since the last load, waiting at most kDeadline.
    const BoundedReads* load(SourceCache& cache);

private:
    std::vector<std::shared_ptr<DeviceFile>> asked_;
};

}  // namespace vantorel::pdh
