// NUMA Node Memory: the memory of each NUMA node, as numastat -m shows it.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum NumaNodeMemory : unsigned { NodeTotal, NodeFree, NodeUsed, NodeFilePages, NodeAnonPages, NumaNodeMemoryFieldCount };
}  // namespace field

const Provider& numaNodeMemoryProvider();

}  // namespace vantorel::pdh
