// Sockets: sockets in use now, by protocol, and TCP's time-wait, orphans and memory.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::sockets {
enum Sockets : unsigned { Used, TcpInUse, Tcp6InUse, UdpInUse, Udp6InUse, RawInUse, Raw6InUse, FragInUse, Frag6InUse, TimeWait, Orphan, TcpMemBytes, FieldCount };
}  // namespace field::sockets

const Provider& socketsProvider();

}  // namespace vantorel::pdh
