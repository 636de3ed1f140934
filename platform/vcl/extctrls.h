// The timer: a tick every Interval milliseconds while Enabled.
#pragma once

#include <memory>

#include "platform/vcl/classes.h"
#include "platform/vcl/properties.h"

class QTimer;

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* Owner);
    ~TTimer() override;

    // Enabling starts a fresh interval, so the first tick comes one interval later.
    Property<bool> Enabled{true};
    Property<unsigned> Interval{1000};
    TNotifyEvent OnTimer;

    QTimer* timer() const { return timer_.get(); }

private:
    void apply();
    std::unique_ptr<QTimer> timer_;
};
