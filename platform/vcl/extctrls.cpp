#include "platform/vcl/extctrls.h"

#include <QTimer>

#include "platform/vcl/qt/dispatch.h"

TTimer::TTimer(TComponent* Owner) : TComponent(Owner), timer_(std::make_unique<QTimer>()) {
    // A timer event is posted only when none is pending, so ticks never pile up
    // behind a slow handler. A coarse timer may be 5 % off on each tick.
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(),
                     [this] { vcl_detail::dispatch([this] { if (OnTimer) OnTimer(this); }); });
    Enabled.onChange([this](bool) { apply(); });
    Interval.onChange([this](unsigned) { apply(); });
    apply();
}

TTimer::~TTimer() = default;

void TTimer::apply() {
    timer_->stop();
    timer_->setInterval(static_cast<int>(Interval.get()));
    if (Enabled && Interval > 0u) timer_->start();
}
