// System: machine-wide process, thread, scheduling and interrupt figures.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum System : unsigned { ProcessCount, ThreadCount, Ctxt, Intr, Forks, ProcsRunning, ProcsBlocked, UptimeCentis, Load1, Load5, Load15, FilesAllocated, FilesMax, SystemFieldCount };
}  // namespace field

const Provider& systemProvider();

}  // namespace vantorel::pdh
