// ICMP: the IPv4 stack's control messages (echo, destination unreachable, errors).
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::icmp4 {
enum Icmp : unsigned { InMsgs, OutMsgs, InErrors, OutErrors, InEchos, OutEchoReps, InDestUnreachs, OutDestUnreachs, FieldCount };
}  // namespace field::icmp4

const Provider& icmpProvider();

}  // namespace vantorel::pdh
