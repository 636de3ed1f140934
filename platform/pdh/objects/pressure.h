// Pressure: how much of the time tasks stalled waiting for cpu, memory, io or
// interrupts, from the kernel's pressure-stall files.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Pressure : unsigned {
    SomeTotalUs, FullTotalUs, SomeAvg10, SomeAvg60, SomeAvg300, FullAvg10, FullAvg60, FullAvg300, PressureFieldCount
};
}  // namespace field

const Provider& pressureProvider();

}  // namespace vantorel::pdh
