// TCP: segments, retransmissions, connections and listen-queue trouble, IPv4 and
// IPv6 together, as the kernel counts them.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::tcp {
enum Tcp : unsigned { InSegs, OutSegs, RetransSegs, CurrEstab, ActiveOpens, PassiveOpens, AttemptFails, EstabResets, OutRsts, InErrs, ListenOverflows, ListenDrops, FieldCount };
}  // namespace field::tcp

const Provider& tcpProvider();

}  // namespace vantorel::pdh
