#include <cerrno>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "platform/pdh/engine/system_reader.h"

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

int openPath(const std::string& path) {
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

class PosixReader final : public SystemReader {
public:
    std::unique_ptr<OpenFile> open(const std::string& path, int& error) override {
        const int fd = openPath(path);
        if (fd < 0) {
            error = errno;
            return nullptr;
        }
        error = 0;
        return std::make_unique<PosixFile>(fd);
    }

    int readFile(const std::string& path, std::string& buffer) override {
        const int fd = openPath(path);
        if (fd < 0) {
            buffer.clear();
            return errno;
        }
        const int error = readAll(fd, buffer);
        ::close(fd);
        return error;
    }

    int listDirectory(const std::string& path, std::vector<std::string>& names) override {
        names.clear();
        DIR* dir = ::opendir(path.c_str());
        if (dir == nullptr) return errno;
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr) break;
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") continue;
            names.emplace_back(name);
        }
        const int error = errno;
        ::closedir(dir);
        return error;
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
        DIR* dir = ::fdopendir(fd);
        if (dir == nullptr) {
            const int error = errno;
            ::close(fd);
            return error;
        }
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr) break;
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") continue;
            bool isDirectory = entry->d_type == DT_DIR;
            if (entry->d_type == DT_UNKNOWN) {
                struct stat child {};
                isDirectory = ::fstatat(::dirfd(dir), entry->d_name, &child, AT_SYMLINK_NOFOLLOW) == 0 &&
                              S_ISDIR(child.st_mode);
            }
            if (isDirectory) subdirectories->emplace_back(name);
        }
        const int error = errno;
        ::closedir(dir);
        return error;
    }

    double bootSeconds() override {
        timespec ts{};
        ::clock_gettime(CLOCK_BOOTTIME, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
};

}  // namespace

std::shared_ptr<SystemReader> makePosixReader() { return std::make_shared<PosixReader>(); }

}  // namespace vantorel::pdh
