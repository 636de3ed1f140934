// The one seam between the engine and the kernel: whole-file reads, directory
// listings, file-system statistics and the clock. Tests substitute it.
#pragma once

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantorel::pdh {

struct FileSystemStats {
    std::uint64_t blockSize = 0;  // f_frsize
    std::uint64_t blocks = 0;
    std::uint64_t freeBlocks = 0;
    std::uint64_t availableBlocks = 0;  // free to unprivileged users
    std::uint64_t files = 0;           // f_files: inodes; 0 where the file system has none
    std::uint64_t availableFiles = 0;  // f_favail
};

// A file kept open and read again from its start on every read.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Replaces `buffer` with the whole file. Returns 0 or an errno value.
    virtual int read(std::string& buffer) = 0;
};

// A directory held open: entries are opened and listed relative to it, so that
// a /proc/PID directory keeps naming the process it was opened on (reads fail
// once that process is gone, even if its pid is reused).
class OpenDirectory {
public:
    virtual ~OpenDirectory() = default;
    virtual std::unique_ptr<OpenFile> open(const std::string& name, int& error) = 0;
    virtual int readFile(const std::string& name, std::string& buffer) = 0;
    virtual int listDirectory(const std::string& name, std::vector<std::string>& names) = 0;
};

class SystemReader {
public:
    virtual ~SystemReader() = default;
    // Opens a file for repeated reads; null with `error` set when it cannot.
    virtual std::unique_ptr<OpenFile> open(const std::string& path, int& error) = 0;
    // Holds a directory open; null with `error` set when it cannot. The default
    // names entries by path through this reader: it cannot tell a process from
    // a later one on its pid, so the live reader overrides it.
    virtual std::unique_ptr<OpenDirectory> openDirectory(const std::string& path, int& error);
    // One-shot whole-file read into a reused buffer. Returns 0 or an errno value.
    virtual int readFile(const std::string& path, std::string& buffer) = 0;
    // Entry names without "." and "..". Returns 0 or an errno value.
    virtual int listDirectory(const std::string& path, std::vector<std::string>& names) = 0;
    virtual int fileSystemStats(const std::string& path, FileSystemStats& out) = 0;
    // The inode of the directory `path`, never through a symlink (a symlink is no
    // directory); given `subdirectories`, also the names of its entries that are
    // directories themselves, symlinks left out. Returns 0 or an errno value.
    virtual int inspectDirectory(const std::string& /*path*/, std::uint64_t& inode,
                                 std::vector<std::string>* subdirectories) {
        inode = 0;
        if (subdirectories != nullptr) subdirectories->clear();
        return ENOSYS;
    }
    // Seconds since boot on CLOCK_BOOTTIME, the clock /proc/uptime and process
    // start times count on.
    virtual double bootSeconds() = 0;
};

std::shared_ptr<SystemReader> makePosixReader();
// Reads a tree captured from a machine (DIR/proc/..., DIR/sys/...): the files as
// they are; file-system statistics fail with ENOTSUP; the clock reads the tree's
// proc/uptime, so that first values are averages up to the moment of capture.
std::shared_ptr<SystemReader> makeCapturedTreeReader(std::string procRoot);

}  // namespace vantorel::pdh
