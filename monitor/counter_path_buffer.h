// Where the browser writes the chosen path; it lives for the whole run.
#pragma once

#include <cstddef>

inline constexpr std::size_t CounterPathSize = 1024;
extern char CounterPath[CounterPathSize];
