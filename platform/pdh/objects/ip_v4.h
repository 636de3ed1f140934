// IPv4: datagrams through the IPv4 layer, forwarding, errors and fragments.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::ip4 {
enum Ip : unsigned { InReceives, OutRequests, Forwarded, InDelivers, InDiscards, InHdrErrors, InAddrErrors, ReasmOks, FragCreates, FieldCount };
}  // namespace field::ip4

const Provider& ipV4Provider();

}  // namespace vantorel::pdh
