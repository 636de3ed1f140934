// The registered performance objects, in the order the browser lists them.
// Adding an object is adding its provider here.
#include <array>

#include "platform/pdh/engine/provider.h"
#include "platform/pdh/objects/control_group.h"
#include "platform/pdh/objects/logical_disk.h"
#include "platform/pdh/objects/memory.h"
#include "platform/pdh/objects/network_interface.h"
#include "platform/pdh/objects/paging_file.h"
#include "platform/pdh/objects/physical_disk.h"
#include "platform/pdh/objects/process.h"
#include "platform/pdh/objects/processor.h"
#include "platform/pdh/objects/system.h"

namespace vantorel::pdh {

std::span<const Provider* const> registeredProviders() {
    static const std::array providers{
        &processorProvider(),
        &memoryProvider(),
        &pagingFileProvider(),
        &systemProvider(),
        &processProvider(),
        &networkInterfaceProvider(),
        &physicalDiskProvider(),
        &logicalDiskProvider(),
        &controlGroupProvider(),
    };
    return providers;
}

}  // namespace vantorel::pdh
