#include "cli/signal_pacer.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace vantorel::cli {

SignalPacer::SignalPacer(const sigset_t& stopSignals) : signals_(stopSignals) {}

Pacer::Clock::time_point SignalPacer::now() { return Clock::now(); }

std::chrono::system_clock::time_point SignalPacer::wallNow() { return std::chrono::system_clock::now(); }

bool SignalPacer::waitUntil(Clock::time_point deadline) {
    using namespace std::chrono;
    while (!stopped_) {
        const nanoseconds left = std::max(nanoseconds::zero(), duration_cast<nanoseconds>(deadline - now()));
        const auto whole = duration_cast<seconds>(left);
        timespec timeout{};
        timeout.tv_sec = static_cast<std::time_t>(whole.count());
        timeout.tv_nsec = static_cast<long>((left - whole).count());
        // A zero timeout still takes a signal that is already pending.
        if (sigtimedwait(&signals_, nullptr, &timeout) >= 0) {
            stopped_ = true;
            break;
        }
        // EINTR: some other handled signal (a resize, a continue); wait on.
        if (errno == EAGAIN && now() >= deadline) return true;
        if (errno != EAGAIN && errno != EINTR) return true;
    }
    return false;
}

}  // namespace vantorel::cli
