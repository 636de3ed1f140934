// UDPv6: UDP datagrams in and out of the IPv6 stack, and why some were not delivered.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::udp6 {
enum Udp : unsigned { InDatagrams, OutDatagrams, NoPorts, InErrors, RcvbufErrors, SndbufErrors, FieldCount };
}  // namespace field::udp6

const Provider& udpV6Provider();

}  // namespace vantorel::pdh
