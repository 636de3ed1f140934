// The live pacer: stop requests are signals the caller has blocked in every
// thread (SIGINT, SIGTERM), taken synchronously with sigtimedwait. A blocked
// signal cannot land in the middle of a row; it waits, pending, for the next
// sleep, which then ends at once.
#pragma once

#include <csignal>

#include "cli/pacer.h"

namespace vantorel::cli {

class SignalPacer final : public Pacer {
public:
    // `stopSignals` must already be blocked; an empty set makes a pacer that
    // never stops early.
    explicit SignalPacer(const sigset_t& stopSignals);

    Clock::time_point now() override;
    std::chrono::system_clock::time_point wallNow() override;
    bool waitUntil(Clock::time_point deadline) override;

private:
    sigset_t signals_;
    bool stopped_ = false;
};

}  // namespace vantorel::cli
