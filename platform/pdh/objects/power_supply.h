// Power Supply: batteries and mains adapters, as upower shows them.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Supply : unsigned { SupplyCapacity, SupplyMicrowatts, SupplyMicrowattHours, SupplySecondsToEmpty, SupplyOnline, SupplyFieldCount };
}  // namespace field

const Provider& powerSupplyProvider();

}  // namespace vantorel::pdh
