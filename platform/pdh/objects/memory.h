// Memory: physical and committed memory and paging activity.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Memory : unsigned {
    MemAvailable, MemFree, Cache, CommittedAs, CommitLimit, PgFault, PswpIn, PswpOut,
    Dirty, Writeback, Slab, Shmem, AnonPages, PageTables, KernelStack, SwapCached, HugeFree, HugeUsed,
    PgMajFault, PgPgIn, PgPgOut, PgFree, PgScan, PgSteal, MemoryFieldCount
};
}  // namespace field

const Provider& memoryProvider();

}  // namespace vantorel::pdh
