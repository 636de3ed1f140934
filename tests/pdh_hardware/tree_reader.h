// A captured tree read through the real file functions, with the test's hand on
// what the kernel would do: the clock, a second moment of /proc, a file whose
// driver fails with an errno, one whose read sleeps until released, and a count
// of the files that were read.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh::testing {

class TreeReader final : public SystemReader {
public:
    double now = 1000.0;
    // Paths holding `from` are read with `to` instead (a later capture).
    std::string from, to;

    void failReads(const std::string& pathEnd, int error) {
        std::lock_guard lock(mutex_);
        errors_[pathEnd] = error;
    }
    // Reads of a path ending so wait until release().
    void holdReads(const std::string& pathEnd) {
        std::lock_guard lock(mutex_);
        held_ = pathEnd;
        released_ = false;
    }
    void release() {
        {
            std::lock_guard lock(mutex_);
            released_ = true;
        }
        releasedSignal_.notify_all();
    }
    int readsEndingWith(const std::string& pathEnd) {
        std::lock_guard lock(mutex_);
        int n = 0;
        for (const auto& [path, count] : reads_)
            if (path.ends_with(pathEnd)) n += count;
        return n;
    }

    std::unique_ptr<OpenFile> open(const std::string& path, int& error) override {
        std::string probe;
        error = posix_->readFile(map(path), probe);
        if (error != 0) return nullptr;
        return std::make_unique<File>(*this, path);
    }
    int readFile(const std::string& path, std::string& buffer) override { return read(path, buffer); }
    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        return posix_->listDirectory(map(path), names);
    }
    int fileSystemStats(const std::string&, FileSystemStats&) override { return ENOSYS; }
    double bootSeconds() override { return now; }

private:
    class File final : public OpenFile {
    public:
        File(TreeReader& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        int read(std::string& buffer) override { return owner_.read(path_, buffer); }

    private:
        TreeReader& owner_;
        std::string path_;
    };

    std::string map(const std::string& path) const {
        if (from.empty()) return path;
        const std::size_t at = path.find(from);
        return at == std::string::npos ? path : path.substr(0, at) + to + path.substr(at + from.size());
    }

    int read(const std::string& path, std::string& buffer) {
        {
            std::unique_lock lock(mutex_);
            ++reads_[path];
            for (const auto& [end, error] : errors_)
                if (path.ends_with(end)) return buffer.clear(), error;
            if (!held_.empty() && path.ends_with(held_))
                releasedSignal_.wait(lock, [&] { return released_; });
        }
        return posix_->readFile(map(path), buffer);
    }

    std::shared_ptr<SystemReader> posix_ = makePosixReader();
    std::mutex mutex_;
    std::condition_variable releasedSignal_;
    std::map<std::string, int> errors_;
    std::map<std::string, int> reads_;
    std::string held_;
    bool released_ = true;
};

}  // namespace vantorel::pdh::testing
