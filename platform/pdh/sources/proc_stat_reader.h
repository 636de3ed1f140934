// Reads /proc/stat once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/proc_stat.h"

namespace vantorel::pdh {

struct ProcStatFile {
    using Value = sources::ProcStat;
    static std::string path(const Roots& roots) { return roots.proc + "proc/stat"; }
    static auto parse(std::string_view text) { return sources::parseProcStat(text); }
};
using ProcStatSource = KernelFileSource<ProcStatFile>;

}  // namespace vantorel::pdh
