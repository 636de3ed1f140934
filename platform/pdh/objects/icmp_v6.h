// ICMPv6: the IPv6 stack's control messages (echo, destination unreachable, errors; neighbour discovery travels here too).
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::icmp6 {
enum Icmp : unsigned { InMsgs, OutMsgs, InErrors, OutErrors, InEchos, OutEchoReps, InDestUnreachs, OutDestUnreachs, FieldCount };
}  // namespace field::icmp6

const Provider& icmpV6Provider();

}  // namespace vantorel::pdh
