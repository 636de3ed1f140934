// The sampler's sense of time: a monotonic clock for the schedule, a wall clock
// for the rows, and a wait that a stop request (Ctrl+C) cuts short.
#pragma once

#include <chrono>

namespace vantorel::cli {

class Pacer {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~Pacer() = default;
    virtual Clock::time_point now() = 0;
    virtual std::chrono::system_clock::time_point wallNow() = 0;
    // Returns true at `deadline` (at once when it has passed), false as soon as a
    // stop is requested, before or during the wait.
    virtual bool waitUntil(Clock::time_point deadline) = 0;
};

}  // namespace vantorel::cli
