// The registered performance objects, in the order the browser lists them.
// Adding an object is adding its provider here.
#include <array>

#include "platform/pdh/engine/provider.h"
#include "platform/pdh/objects/icmp.h"
#include "platform/pdh/objects/icmp_v6.h"
#include "platform/pdh/objects/ip_v4.h"
#include "platform/pdh/objects/ip_v6.h"
#include "platform/pdh/objects/gpu_adapter.h"
#include "platform/pdh/objects/gpu_engine.h"
#include "platform/pdh/objects/hardware_sensor.h"
#include "platform/pdh/objects/control_group.h"
#include "platform/pdh/objects/logical_disk.h"
#include "platform/pdh/objects/memory.h"
#include "platform/pdh/objects/network_interface.h"
#include "platform/pdh/objects/numa_node_memory.h"
#include "platform/pdh/objects/paging_file.h"
#include "platform/pdh/objects/physical_disk.h"
#include "platform/pdh/objects/power_supply.h"
#include "platform/pdh/objects/pressure.h"
#include "platform/pdh/objects/process.h"
#include "platform/pdh/objects/processor.h"
#include "platform/pdh/objects/sockets.h"
#include "platform/pdh/objects/system.h"
#include "platform/pdh/objects/tcp.h"
#include "platform/pdh/objects/udp_v4.h"
#include "platform/pdh/objects/udp_v6.h"
#include "platform/pdh/objects/thermal_zone.h"

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
        &socketsProvider(),
        &tcpProvider(),
        &udpV4Provider(),
        &udpV6Provider(),
        &ipV4Provider(),
        &ipV6Provider(),
        &icmpProvider(),
        &icmpV6Provider(),
        &thermalZoneProvider(),
        &hardwareSensorProvider(),
        &powerSupplyProvider(),
        &gpuAdapterProvider(),
        &gpuEngineProvider(),
        &pressureProvider(),
        &numaNodeMemoryProvider(),
        &controlGroupProvider(),
    };
    return providers;
}

}  // namespace vantorel::pdh
