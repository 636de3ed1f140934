#include <cerrno>
#include <ctime>
#include <optional>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/sources/uptime.h"

namespace vantorel::pdh {
namespace {

// /proc and /sys files report a size of 0 or 4096 whatever they hold, so read
// until a short read rather than trusting fstat.
int readAll(int fd, std::string& buffer) {
    if (buffer.capacity() < 4096) buffer.reserve(4096);
    buffer.resize(buffer.capacity());
    std::size_t used = 0;
    for (;;) {
        if (used == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t n = ::pread(fd, buffer.data() + used, buffer.size() - used,
                                  static_cast<off_t>(used));
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            buffer.clear();
            return error;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    buffer.resize(used);
    return 0;
}

class PosixFile final : public OpenFile {
public:
    explicit PosixFile(int fd) : fd_(fd) {}
    ~PosixFile() override { ::close(fd_); }
    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;
    int read(std::string& buffer) override { return readAll(fd_, buffer); }

private:
    int fd_;
};

int openAt(int dirfd, const std::string& path, int flags = 0) {
    for (;;) {
        const int fd = ::openat(dirfd, path.c_str(), O_RDONLY | O_CLOEXEC | flags);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

int readWhole(int dirfd, const std::string& path, std::string& buffer) {
    const int fd = openAt(dirfd, path);
    if (fd < 0) {
        buffer.clear();
        return errno;
    }
    const int error = readAll(fd, buffer);
    ::close(fd);
    return error;
}

std::unique_ptr<OpenFile> openFile(int dirfd, const std::string& path, int& error) {
    const int fd = openAt(dirfd, path);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    error = 0;
    return std::make_unique<PosixFile>(fd);
}

// Calls `visit` with each entry but "." and ".."; closes the directory and
// returns 0 or the errno readdir stopped with.
template <typename Visit>
int readEntries(DIR* dir, Visit&& visit) {
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) break;
        const std::string_view name(entry->d_name);
        if (name == "." || name == "..") continue;
        visit(*entry, name);
    }
    const int error = errno;
    ::closedir(dir);
    return error;
}

DIR* openDirectoryStream(int fd) {
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return dir;
}

int list(int dirfd, const std::string& path, std::vector<std::string>& names) {
    names.clear();
    const int fd = openAt(dirfd, path, O_DIRECTORY);
    if (fd < 0) return errno;
    DIR* dir = openDirectoryStream(fd);
    if (dir == nullptr) return errno;
    return readEntries(dir, [&](const dirent&, std::string_view name) { names.emplace_back(name); });
}

class PosixDirectory final : public OpenDirectory {
public:
    explicit PosixDirectory(int fd) : fd_(fd) {}
    ~PosixDirectory() override { ::close(fd_); }
    PosixDirectory(const PosixDirectory&) = delete;
    PosixDirectory& operator=(const PosixDirectory&) = delete;

    std::unique_ptr<OpenFile> open(const std::string& name, int& error) override { return openFile(fd_, name, error); }
    int readFile(const std::string& name, std::string& buffer) override { return readWhole(fd_, name, buffer); }
    int listDirectory(const std::string& name, std::vector<std::string>& names) override {
        return list(fd_, name, names);
    }

private:
    int fd_;
};

class PosixReader : public SystemReader {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, int& error) override {
        return openFile(AT_FDCWD, path, error);
    }

    std::unique_ptr<OpenDirectory> openDirectory(const std::string& path, int& error) override {
        const int fd = openAt(AT_FDCWD, path, O_DIRECTORY);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        error = 0;
        return std::make_unique<PosixDirectory>(fd);
    }

    int readFile(const std::string& path, std::string& buffer) override { return readWhole(AT_FDCWD, path, buffer); }

    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        return list(AT_FDCWD, path, names);
    }

    int fileSystemStats(const std::string& path, FileSystemStats& out) override {
        out = FileSystemStats{};
        struct statvfs st {};
        for (;;) {
            if (::statvfs(path.c_str(), &st) == 0) break;
            if (errno != EINTR) return errno;
        }
        out.blockSize = st.f_frsize != 0 ? st.f_frsize : st.f_bsize;
        out.blocks = st.f_blocks;
        out.freeBlocks = st.f_bfree;
        out.availableBlocks = st.f_bavail;
        out.files = st.f_files;
        out.availableFiles = st.f_favail;
        return 0;
    }

    int inspectDirectory(const std::string& path, std::uint64_t& inode,
                         std::vector<std::string>* subdirectories) override {
        inode = 0;
        if (subdirectories == nullptr) {
            struct stat st {};
            if (::fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
            if (!S_ISDIR(st.st_mode)) return ENOTDIR;
            inode = st.st_ino;
            return 0;
        }
        subdirectories->clear();
        const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return errno;
        struct stat st {};
        if (::fstat(fd, &st) != 0) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        inode = st.st_ino;
        DIR* dir = openDirectoryStream(fd);
        if (dir == nullptr) return errno;
        return readEntries(dir, [&](const dirent& entry, std::string_view name) {
            bool isDirectory = entry.d_type == DT_DIR;
            if (entry.d_type == DT_UNKNOWN) {
                struct stat child {};
                isDirectory = ::fstatat(::dirfd(dir), entry.d_name, &child, AT_SYMLINK_NOFOLLOW) == 0 &&
                              S_ISDIR(child.st_mode);
            }
            if (isDirectory) subdirectories->emplace_back(name);
        });
    }

    double bootSeconds() override {
        timespec ts{};
        ::clock_gettime(CLOCK_BOOTTIME, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

// A tree copied from a machine: its files are read as they are, but statvfs
// would describe this machine's file systems, and its clock is the one its
// uptime file stopped at.
class CapturedTreeReader final : public PosixReader {
public:
    explicit CapturedTreeReader(std::string procRoot) : uptimePath_(std::move(procRoot) + "proc/uptime") {}

    int fileSystemStats(const std::string&, FileSystemStats& out) override {
        out = FileSystemStats{};
        return ENOTSUP;
    }

    double bootSeconds() override {
        std::string text;
        if (readFile(uptimePath_, text) == 0) {
            const std::optional<sources::Uptime> uptime = sources::parseUptime(text);
            if (uptime) return uptime->upSeconds;
        }
        return PosixReader::bootSeconds();
    }

private:
    std::string uptimePath_;
};

}  // namespace

std::shared_ptr<SystemReader> makePosixReader() { return std::make_shared<PosixReader>(); }

std::shared_ptr<SystemReader> makeCapturedTreeReader(std::string procRoot) {
    if (procRoot.empty() || procRoot.back() != '/') procRoot += '/';
    return std::make_shared<CapturedTreeReader>(std::move(procRoot));
}

}  // namespace vantorel::pdh
