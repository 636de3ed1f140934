// Reads /proc/interrupts once per collect for every object that needs it.
#pragma once

#include "platform/pdh/engine/kernel_file_source.h"
#include "platform/pdh/sources/interrupts.h"

namespace vantorel::pdh {

struct InterruptsFile {
    using Value = sources::InterruptColumns;
    static std::string path(const Roots& roots) { return roots.proc + "proc/interrupts"; }
    static auto parse(std::string_view text) { return sources::parseInterrupts(text); }
};
using InterruptsSource = KernelFileSource<InterruptsFile>;

}  // namespace vantorel::pdh
