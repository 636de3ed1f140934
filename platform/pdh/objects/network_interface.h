// Network Interface: traffic and errors of each network interface.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Network : unsigned { RxBytes, TxBytes, RxPackets, TxPackets, RxErrs, TxErrs, RxDrop, TxDrop, SpeedMbit, NetworkFieldCount };
}  // namespace field

const Provider& networkInterfaceProvider();

}  // namespace vantorel::pdh
