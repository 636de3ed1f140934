// Reads /proc/vmstat once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/vmstat.h"

namespace vantorel::pdh {

struct VmstatFile {
    using Value = sources::Vmstat;
    static std::string path(const Roots& roots) { return roots.proc + "proc/vmstat"; }
    static auto parse(std::string_view text) { return sources::parseVmstat(text); }
};
using VmstatSource = KernelFileSource<VmstatFile>;

}  // namespace vantorel::pdh
