// The floor a collect is measured against: the same files held open, as the
// engine holds them, and read whole with pread on each pass.
#pragma once

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

class Floor {
public:
    explicit Floor(const std::vector<std::string>& paths) {
        for (const std::string& p : paths) {
            const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd >= 0) fds_.push_back(fd);
        }
        buffer_.resize(1 << 16);
    }
    ~Floor() {
        for (int fd : fds_) ::close(fd);
    }
    Floor(const Floor&) = delete;
    Floor& operator=(const Floor&) = delete;
    std::size_t files() const { return fds_.size(); }
    void read() {
        for (int fd : fds_) {
            std::size_t used = 0;
            for (;;) {
                const ssize_t n = ::pread(fd, buffer_.data() + used, buffer_.size() - used, static_cast<off_t>(used));
                if (n <= 0) break;
                used += static_cast<std::size_t>(n);
            }
            benchmark::DoNotOptimize(used);
        }
    }

private:
    std::vector<int> fds_;
    std::string buffer_;
};
