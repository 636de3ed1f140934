// Reads /proc/loadavg once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/loadavg.h"

namespace vantorel::pdh {

struct LoadavgFile {
    using Value = sources::Loadavg;
    static std::string path(const Roots& roots) { return roots.proc + "proc/loadavg"; }
    static auto parse(std::string_view text) { return sources::parseLoadavg(text); }
};
using LoadavgSource = KernelFileSource<LoadavgFile>;

}  // namespace vantorel::pdh
