// Reads /proc/swaps once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/swaps.h"

namespace vantorel::pdh {

struct SwapsFile {
    using Value = sources::SwapTable;
    static std::string path(const Roots& roots) { return roots.proc + "proc/swaps"; }
    static auto parse(std::string_view text) { return sources::parseSwaps(text); }
};
using SwapsSource = KernelFileSource<SwapsFile>;

}  // namespace vantorel::pdh
