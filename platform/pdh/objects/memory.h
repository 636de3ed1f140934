// Memory: physical and committed memory and paging activity.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Memory : unsigned { MemAvailable, MemFree, Cache, CommittedAs, CommitLimit, PgFault, PswpIn, PswpOut, MemoryFieldCount };
}  // namespace field

const Provider& memoryProvider();

}  // namespace vantorel::pdh
