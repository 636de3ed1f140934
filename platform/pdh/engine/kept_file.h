// A kernel file opened once and read again from its start on every collect:
// /proc and /sys regenerate their text on each read at offset 0, so keeping the
// descriptor saves an open and a close per collect.
#pragma once

#include <cerrno>
#include <memory>
#include <string>

#include "platform/pdh/engine/system_reader.h"

namespace vantorel::pdh {

class KeptFile {
public:
    KeptFile() = default;
    explicit KeptFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    bool isOpen() const { return file_ != nullptr; }
    void close() { file_.reset(); }

    // Opens on first use (and again after a failed open). Returns 0 or an errno.
    int read(SystemReader& reader, std::string& buffer) {
        if (file_ == nullptr) {
            int error = 0;
            file_ = reader.open(path_, error);
            if (file_ == nullptr) {
                buffer.clear();
                return error != 0 ? error : ENOENT;
            }
        }
        return file_->read(buffer);
    }

private:
    std::string path_;
    std::unique_ptr<OpenFile> file_;
};

}  // namespace vantorel::pdh
