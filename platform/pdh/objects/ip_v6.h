// IPv6: datagrams through the IPv6 layer, forwarding, errors and fragments.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

namespace field::ip6 {
enum Ip : unsigned { InReceives, OutRequests, Forwarded, InDelivers, InDiscards, InHdrErrors, InAddrErrors, ReasmOks, FragCreates, FieldCount };
}  // namespace field::ip6

const Provider& ipV6Provider();

}  // namespace vantorel::pdh
