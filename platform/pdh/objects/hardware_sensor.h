// Hardware Sensor: each channel of each hwmon chip (temperatures, fans,
// voltages, currents, power), as sensors(1) shows them.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Sensor : unsigned { SensorMilliC, SensorMaxMilliC, SensorCritMilliC, SensorRpm, SensorMillivolts, SensorMilliamps, SensorMicrowatts, SensorFieldCount };
}  // namespace field

const Provider& hardwareSensorProvider();

}  // namespace vantorel::pdh
