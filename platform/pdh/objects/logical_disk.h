// LogicalDisk: space on each mounted file system, as df lists them.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum LogicalDisk : unsigned { UsePercent, AvailBytes, FreeInodes, Inodes, LogicalDiskFieldCount };
}  // namespace field

const Provider& logicalDiskProvider();

}  // namespace vantorel::pdh
