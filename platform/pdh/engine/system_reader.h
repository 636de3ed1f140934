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
};

// A file kept open and read again from its start on every read.
class OpenFile {
public:
    virtual ~OpenFile() = default;
    // Replaces `buffer` with the whole file. Returns 0 or an errno value.
    virtual int read(std::string& buffer) = 0;
};

class SystemReader {
public:
    virtual ~SystemReader() = default;
    // Opens a file for repeated reads; null with `error` set when it cannot.
    virtual std::unique_ptr<OpenFile> open(const std::string& path, int& error) = 0;
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

}  // namespace vantorel::pdh
