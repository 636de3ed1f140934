// Reads /proc/meminfo once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/meminfo.h"

namespace vantorel::pdh {

struct MeminfoFile {
    using Value = sources::Meminfo;
    static std::string path(const Roots& roots) { return roots.proc + "proc/meminfo"; }
    static auto parse(std::string_view text) { return sources::parseMeminfo(text); }
};
using MeminfoSource = KernelFileSource<MeminfoFile>;

}  // namespace vantorel::pdh
