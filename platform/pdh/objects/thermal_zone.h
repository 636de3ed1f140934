// Thermal Zone: the temperature of each kernel thermal zone.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Thermal : unsigned { ZoneMilliC, ZoneCriticalMilliC, ThermalFieldCount };
}  // namespace field

const Provider& thermalZoneProvider();

}  // namespace vantorel::pdh
