// PhysicalDisk: activity of each whole disk that has done I/O.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Disk : unsigned {
    Reads, Writes, SectorsRead, SectorsWritten, IoTicksMs, QueueTimeMs, InFlight,
    ReadMs, WriteMs, Discards, DiscardMs, Flushes, FlushMs, DiskFieldCount
};
}  // namespace field

const Provider& physicalDiskProvider();

}  // namespace vantorel::pdh
