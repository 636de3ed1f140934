// Splits a counter path into its parts, so the browser can start on a path the
// caller already holds.
#pragma once

#include <optional>
#include <string_view>

namespace vantorel::pdh {

struct CounterPathParts {
    std::string_view object;
    std::string_view instance;
    std::string_view counter;
    bool hasInstance = false;
};

// "\Object(Instance)\Counter" or "\Object\Counter". The instance runs from the "("
// after the object name to the ")" right before the last "\", so it may hold any
// character. No machine prefix. The parts view into the argument.
std::optional<CounterPathParts> splitCounterPath(std::string_view path);

}  // namespace vantorel::pdh
