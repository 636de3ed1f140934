// Control Group: what each group of the cgroup v2 hierarchy (a service, a
// container, a login session) costs, by its path from the hierarchy's root.
#pragma once

#include "platform/pdh/engine/provider.h"

namespace vantorel::pdh {

const Provider& controlGroupProvider();

}  // namespace vantorel::pdh
