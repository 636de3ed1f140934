// Reads /proc/uptime once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/uptime.h"

namespace vantorel::pdh {

struct UptimeFile {
    using Value = sources::Uptime;
    static std::string path(const Roots& roots) { return roots.proc + "proc/uptime"; }
    static auto parse(std::string_view text) { return sources::parseUptime(text); }
};
using UptimeSource = KernelFileSource<UptimeFile>;

}  // namespace vantorel::pdh
