// UDPv4: UDP datagrams in and out of the IPv4 stack, and why some were not delivered.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::udp4 {
enum Udp : unsigned { InDatagrams, OutDatagrams, NoPorts, InErrors, RcvbufErrors, SndbufErrors, FieldCount };
}  // namespace field::udp4

const Provider& udpV4Provider();

}  // namespace vantorel::pdh
