// Process: each running process ("name:pid") and their _Total. Its fields are
// those of the per-process files it shares with System.
#pragma once

#include "platform/pdh/engine/provider.h"
#include "platform/pdh/objects/process_files.h"

namespace vantorel::pdh {

const Provider& processProvider();

}  // namespace vantorel::pdh
