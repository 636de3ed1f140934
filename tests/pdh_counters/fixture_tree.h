// The library over captured or hand-made trees of tests/fixtures: "/fx/..."
// is served from the tree of the moment; the clock and statvfs are the test's.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "platform/pdh/engine/library.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh::testing {

class TreeReader final : public SystemReader {
public:
    std::string tree;
    double now = 1000.0;
    std::map<std::string, FileSystemStats> fileSystems;

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
        File(TreeReader& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        int read(std::string& buffer) override { return owner_.readFile(path_, buffer); }

    private:
        TreeReader& owner_;
        std::string path_;
    };

    std::string map(const std::string& path) const {
        return path.starts_with("/fx/") ? std::string(VANTOREL_FIXTURES) + "/" + tree + "/" + path.substr(4)
                                        : "/nonexistent" + path;
    }

    std::shared_ptr<SystemReader> posix_ = makePosixReader();
};

// A query over one tree; `moment` switches tree and clock and collects.
class TreeQuery {
public:
    explicit TreeQuery(std::string tree, double now) {
        reader->tree = std::move(tree);
        reader->now = now;
        EXPECT_EQ(lib.openQuery(0, &query), ERROR_SUCCESS);
    }

    PDH_HCOUNTER add(const std::string& object, const std::string& instance, const std::string& counter) {
        const bool instances = !instance.empty();
        const std::string path = makeCounterPath(object, instance, counter, instances);
        PDH_HCOUNTER c = nullptr;
        EXPECT_EQ(lib.addCounter(query, path.c_str(), 0, &c), ERROR_SUCCESS) << path;
        return c;
    }
    void collect() { ASSERT_EQ(lib.collect(query), ERROR_SUCCESS); }
    void moment(std::string tree, double now) {
        reader->tree = std::move(tree);
        reader->now = now;
        collect();
    }
    PDH_FMT_COUNTERVALUE read(PDH_HCOUNTER c, DWORD format = PDH_FMT_DOUBLE) {
        PDH_FMT_COUNTERVALUE v{};
        lib.formattedValue(c, format, nullptr, &v);
        return v;
    }
    double value(PDH_HCOUNTER c) {
        const PDH_FMT_COUNTERVALUE v = read(c);
        EXPECT_EQ(v.CStatus, PDH_CSTATUS_VALID_DATA);
        return v.doubleValue;
    }
    PDH_STATUS status(PDH_HCOUNTER c) { return read(c).CStatus; }
    std::vector<std::string> instances(const std::string& object) { return lib.enumeration().instances(object); }

    std::shared_ptr<TreeReader> reader = std::make_shared<TreeReader>();
    Library lib{"/fx/", "/fx/", reader};
    PDH_HQUERY query = nullptr;
};

}  // namespace vantorel::pdh::testing
