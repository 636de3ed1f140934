// Serves "/fx/..." from a fixture tree that a test can switch between collects
// (a second captured moment); the clock and statvfs answers are the test's.
#pragma once

#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh::testing {

class FixtureTreeReader : public SystemReader {
public:
    std::string tree;  // the directory holding proc/ and sys/, ending in '/'
    double now = 0.0;
    std::map<std::string, FileSystemStats> fileSystems;  // mount point -> statvfs; others fail

    std::unique_ptr<OpenFile> open(const std::string& path, int& error) override {
        // Reopen on each read so that a change of tree is seen by kept files.
        std::string probe;
        error = posix_->readFile(map(path), probe);
        return error == 0 ? std::make_unique<File>(*this, path) : nullptr;
    }
    int readFile(const std::string& path, std::string& buffer) override { return posix_->readFile(map(path), buffer); }
    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        return posix_->listDirectory(map(path), names);
    }
    int fileSystemStats(const std::string& path, FileSystemStats& out) override {
        const auto it = fileSystems.find(path);
        if (it == fileSystems.end()) return ENOENT;
        out = it->second;
        return 0;
    }
    double bootSeconds() override { return now; }

private:
    class File final : public OpenFile {
    public:
        File(FixtureTreeReader& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        int read(std::string& buffer) override { return owner_.readFile(path_, buffer); }

    private:
        FixtureTreeReader& owner_;
        std::string path_;
    };

    std::string map(const std::string& path) const {
        return path.starts_with("/fx/") ? tree + path.substr(4) : "/nonexistent" + path;
    }

    std::shared_ptr<SystemReader> posix_ = makePosixReader();
};

}  // namespace vantorel::pdh::testing
