// Listing through the catalogue and the live (or fixture) trees.
#pragma once

#include <memory>

#include "platform/pdh/engine/source_cache.h"
#include "platform/pdh/engine/system_reader.h"
#include "platform/pdh/enumeration.h"

namespace vantorel::pdh {

std::unique_ptr<Enumeration> makeEnumeration(const Roots& roots, std::shared_ptr<SystemReader> reader);

}  // namespace vantorel::pdh
