// Counter paths: "\Object(Instance)\Counter" or "\Object\Counter".
#pragma once

#include <string>
#include <string_view>

#include "pdh/pdh.h"

namespace vantorel::pdh {

struct ParsedPath {
    std::string object;
    std::string instance;
    bool hasInstance = false;
    std::string counter;
};

// Splits a path without consulting the catalogue. The instance runs from the '('
// after the object name to the ')' right before the last '\', so it may hold any
// character, '\' and parentheses included. Leaves `out` cleared on failure.
PDH_STATUS parseCounterPath(std::string_view path, ParsedPath& out);

}  // namespace vantorel::pdh
