// Reads of device attribute files (sensors, batteries, GPUs) whose drivers may
// sleep, fail or hang: one collect reads them all on a worker thread and waits
// for it at most kDeadline. A file not read in time has no value this collect;
// while its read is still stuck it is not asked again, so a hung driver costs
// one wait, once, and never the other counters their values.
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
