// Processor: time each cpu (and all of them) spent in each state.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field {
enum Processor : unsigned { User, Nice, System, Idle, IoWait, Irq, SoftIrq, Steal, ClockKhz, MaxClockKhz, IrqCount, ProcessorFieldCount };
}  // namespace field

const Provider& processorProvider();

}  // namespace vantorel::pdh
