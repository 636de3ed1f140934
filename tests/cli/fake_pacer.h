// A pacer on a made-up clock: waits return at once, record their deadlines and
// can stand in for the world changing between samples or a stop request.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "cli/pacer.h"

namespace vantorel::cli::testing {

class FakePacer final : public Pacer {
public:
    // Called on each wait with its index (0 for the first sample); false is a stop.
    std::function<bool(std::size_t)> onWait;
    // Time the sampler spends after wait `i` (its collect), default none.
    std::function<Clock::duration(std::size_t)> workAfter;
    std::vector<Clock::duration> deadlines;  // each wait's deadline, from the first now()

    Clock::time_point now() override {
        if (!started_) {
            started_ = true;
            origin_ = now_;
        }
        return now_;
    }
    std::chrono::system_clock::time_point wallNow() override {
        return std::chrono::system_clock::time_point(std::chrono::hours(24 * 365 * 56)) +
               std::chrono::duration_cast<std::chrono::system_clock::duration>(now_ - origin_);
    }
    bool waitUntil(Clock::time_point deadline) override {
        const std::size_t call = deadlines.size();
        deadlines.push_back(deadline - origin_);
        if (onWait && !onWait(call)) return false;
        if (now_ < deadline) now_ = deadline;
        if (workAfter) now_ += workAfter(call);
        return true;
    }

private:
    Clock::time_point now_{std::chrono::hours(1)};
    Clock::time_point origin_{};
    bool started_ = false;
};

}  // namespace vantorel::cli::testing
