// /proc/sys/fs/file-nr: "1472	0	9223372036854775807".
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantorel::pdh::sources {

struct FileNr {
    std::uint64_t allocated = 0;  // file handles in use
    std::uint64_t unused = 0;     // allocated but free: always 0 since Linux 2.6
    std::uint64_t maximum = 0;    // fs.file-max

    bool operator==(const FileNr&) const = default;
};

// All or nothing.
std::optional<FileNr> parseFileNr(std::string_view text);

}  // namespace vantorel::pdh::sources
