// Reads /proc/net/dev once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/net_dev.h"

namespace vantorel::pdh {

struct NetDevTableFile {
    using Value = sources::NetDevTable;
    static std::string path(const Roots& roots) { return roots.proc + "proc/net/dev"; }
    static auto parse(std::string_view text) { return sources::parseNetDev(text); }
};
using NetDevTableSource = KernelFileSource<NetDevTableFile>;

}  // namespace vantorel::pdh
