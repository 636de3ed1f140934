// The channels of every hwmon chip, named as the Hardware Sensor object names
// its instances. Reads names and labels only, never a sensor's value.
#pragma once

#include <string>
#include <vector>

#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/sources/sysfs_entries.h"

namespace vantorel::pdh {

struct SensorChannel {
    std::string instance;  // "coretemp/Package id 0", "nvme:2/Composite", "thinkpad/fan1"
    std::string dir;       // ".../hwmon3/" (or ".../hwmon3/device/" on old drivers)
    sources::HwmonChannel channel;
};

// In hwmon order, then by kind and index. A chip whose name is shared by
// another gets ":N" (its hwmon number); a label shared by two channels of a
// chip, or none, gives way to the channel's own name.
std::vector<SensorChannel> listSensorChannels(SystemReader& reader, const std::string& sysRoot);

}  // namespace vantorel::pdh
