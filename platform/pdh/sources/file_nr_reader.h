// Reads /proc/sys/fs/file-nr once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/file_nr.h"

namespace vantorel::pdh {

struct FileNrFile {
    using Value = sources::FileNr;
    static std::string path(const Roots& roots) { return roots.proc + "proc/sys/fs/file-nr"; }
    static auto parse(std::string_view text) { return sources::parseFileNr(text); }
};
using FileNrSource = KernelFileSource<FileNrFile>;

}  // namespace vantorel::pdh
