// GPU Adapter: each graphics adapter of /sys/class/drm.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Adapter : unsigned { AdapterBusy, AdapterVramUsed, AdapterVramTotal, AdapterMhz, AdapterFieldCount };
}  // namespace field

const Provider& gpuAdapterProvider();

}  // namespace vantorel::pdh
