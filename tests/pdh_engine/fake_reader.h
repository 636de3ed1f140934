// An in-memory kernel for the engine's tests: files, directories, statvfs
// answers and the clock are set by the test; every read is counted by path.
#pragma once

#include <cerrno>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh::testing {

class FakeReader : public SystemReader {
public:
    std::map<std::string, std::string> files;
    std::map<std::string, int> errors;  // path -> errno a read (or open) fails with
    std::map<std::string, std::vector<std::string>> directories;
    std::map<std::string, FileSystemStats> fileSystems;
    std::map<std::string, std::uint64_t> inodes;  // directory -> its inode (1 when not set)
    std::set<std::string> symlinks;               // entries that are symlinks: never directories
    std::map<std::string, int> reads;  // path -> reads and listings, since the last reset
    double now = 1000.0;
    // A directory's incarnation: bump it to make a new process of the same pid.
    // Reads through a directory opened on an older incarnation fail with ESRCH.
    std::map<std::string, int> incarnation;
    // Called after every read of a file, with its path: lets a test change the
    // tree between two reads of one collect.
    std::function<void(const std::string&)> afterRead;

    void resetCounts() { reads.clear(); }
    int readsOf(const std::string& path) const {
        const auto it = reads.find(path);
        return it != reads.end() ? it->second : 0;
    }
    int totalReads() const {
        int n = 0;
        for (const auto& [path, count] : reads) n += count;
        return n;
    }

    std::unique_ptr<OpenFile> open(const std::string& path, int& error) override {
        const auto e = errors.find(path);
        if (e != errors.end()) return error = e->second, nullptr;
        if (files.find(path) == files.end()) return error = ENOENT, nullptr;
        error = 0;
        return std::make_unique<File>(*this, path, directoryInode(path));
    }
    std::unique_ptr<OpenDirectory> openDirectory(const std::string& path, int& error) override {
        const auto e = errors.find(path);
        if (e != errors.end()) return error = e->second, nullptr;
        if (directories.find(path) == directories.end() && !hasEntriesUnder(path)) return error = ENOENT, nullptr;
        error = 0;
        return std::make_unique<Directory>(*this, path, incarnation[path]);
    }
    int readFile(const std::string& path, std::string& buffer) override { return readPath(path, buffer); }
    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        ++reads[path];
        const auto it = directories.find(path);
        if (it == directories.end()) return names.clear(), ENOENT;
        names = it->second;
        return 0;
    }
    int fileSystemStats(const std::string& path, FileSystemStats& out) override {
        ++reads["statvfs:" + path];
        const auto it = fileSystems.find(path);
        if (it == fileSystems.end()) return ENOENT;
        out = it->second;
        return 0;
    }
    int inspectDirectory(const std::string& path, std::uint64_t& inode,
                         std::vector<std::string>* subdirectories) override {
        ++reads["inspect:" + path];
        inode = 0;
        if (subdirectories != nullptr) subdirectories->clear();
        const auto e = errors.find(path);
        if (e != errors.end()) return e->second;
        const auto it = directories.find(path);
        if (it == directories.end()) return ENOENT;
        if (symlinks.count(path) != 0) return ENOTDIR;
        const auto known = inodes.find(path);
        inode = known != inodes.end() ? known->second : 1;
        if (subdirectories != nullptr)
            for (const std::string& name : it->second) {
                const std::string child = path + "/" + name;
                if (directories.count(child) != 0 && symlinks.count(child) == 0) subdirectories->push_back(name);
            }
        return 0;
    }
    double bootSeconds() override { return now; }

    // A process as /proc shows it: the stat line and the entry in /proc.
    void setProcess(int pid, const std::string& stat, const std::string& root = "/");

private:
    // As a kernel file of a removed directory (a cgroup's), a kept file fails
    // once the directory it was opened in, where it has an inode, is gone.
    class File : public OpenFile {
    public:
        File(FakeReader& owner, std::string path, std::uint64_t directory, const std::string* dir = nullptr,
             int born = 0)
            : owner_(owner), path_(std::move(path)), directory_(directory), dir_(dir != nullptr ? *dir : std::string()),
              born_(born) {}
        int read(std::string& buffer) override {
            if (directory_ != 0 && owner_.directoryInode(path_) != directory_) return buffer.clear(), ENODEV;
            if (!dir_.empty() && owner_.incarnation[dir_] != born_) return buffer.clear(), ESRCH;
            return owner_.readPath(path_, buffer);
        }

    private:
        FakeReader& owner_;
        std::string path_;
        std::uint64_t directory_;
        std::string dir_;
        int born_;
    };

    class Directory : public OpenDirectory {
    public:
        Directory(FakeReader& owner, std::string path, int born) : owner_(owner), path_(std::move(path)), born_(born) {}
        std::unique_ptr<OpenFile> open(const std::string& name, int& error) override {
            if (gone()) return error = ESRCH, nullptr;
            auto file = owner_.open(path_ + "/" + name, error);
            if (file == nullptr) return nullptr;
            return std::make_unique<File>(owner_, path_ + "/" + name, owner_.directoryInode(path_ + "/" + name), &path_, born_);
        }
        int readFile(const std::string& name, std::string& buffer) override {
            if (gone()) return buffer.clear(), ESRCH;
            return owner_.readPath(path_ + "/" + name, buffer);
        }
        int listDirectory(const std::string& name, std::vector<std::string>& names) override {
            if (gone()) return names.clear(), ESRCH;
            return owner_.listDirectory(path_ + "/" + name, names);
        }

    private:
        bool gone() const { return owner_.incarnation[path_] != born_; }
        FakeReader& owner_;
        std::string path_;
        int born_;
    };

    static std::string parentOf(const std::string& path) {
        const std::size_t slash = path.rfind('/');
        return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    bool hasEntriesUnder(const std::string& path) const {
        const std::string prefix = path + "/";
        const auto it = files.lower_bound(prefix);
        return it != files.end() && it->first.compare(0, prefix.size(), prefix) == 0;
    }

    // The inode of the directory holding `path`; 0 when it has none or is gone.
    std::uint64_t directoryInode(const std::string& path) const {
        const std::string parent = path.substr(0, path.rfind('/'));
        const auto it = inodes.find(parent);
        return it != inodes.end() && directories.count(parent) != 0 ? it->second : 0;
    }

    int readPath(const std::string& path, std::string& buffer) {
        ++reads[path];
        const int error = lookUp(path, buffer);
        if (afterRead) afterRead(path);
        return error;
    }
    int lookUp(const std::string& path, std::string& buffer) const {
        const auto e = errors.find(path);
        if (e != errors.end()) return buffer.clear(), e->second;
        const auto it = files.find(path);
        if (it == files.end()) return buffer.clear(), ENOENT;
        buffer = it->second;
        return 0;
    }
};

// "/proc/PID/stat" text with the fields the engine reads; the rest are 0.
std::string statLine(int pid, const std::string& comm, unsigned long long utime, unsigned long long stime,
                     unsigned long long starttime, unsigned long long rssPages = 0, int ppid = 1,
                     unsigned long long threads = 1, unsigned long long minflt = 0, unsigned long long majflt = 0);

inline void FakeReader::setProcess(int pid, const std::string& stat, const std::string& root) {
    files[root + "proc/" + std::to_string(pid) + "/stat"] = stat;
    auto& entries = directories[root + "proc"];
    const std::string name = std::to_string(pid);
    bool present = false;
    for (const auto& e : entries) present = present || e == name;
    if (!present) entries.push_back(name);
}

inline std::string statLine(int pid, const std::string& comm, unsigned long long utime, unsigned long long stime,
                            unsigned long long starttime, unsigned long long rssPages, int ppid,
                            unsigned long long threads, unsigned long long minflt, unsigned long long majflt) {
    // (1) pid (2) comm (3) state (4) ppid (5..9) (10) minflt (11) cminflt (12) majflt
    // (13) cmajflt (14) utime (15) stime (16..19) (20) num_threads (21) (22) starttime
    // (23) vsize (24) rss ... up to (52)
    std::string s = std::to_string(pid) + " (" + comm + ") S " + std::to_string(ppid) + " 0 0 0 0 0 " +
                    std::to_string(minflt) + " 0 " + std::to_string(majflt) + " 0 " + std::to_string(utime) + " " +
                    std::to_string(stime) + " 0 0 20 0 " + std::to_string(threads) + " 0 " +
                    std::to_string(starttime) + " 1048576 " + std::to_string(rssPages);
    for (int i = 25; i <= 52; ++i) s += " 0";
    return s + "\n";
}

}  // namespace vantorel::pdh::testing
