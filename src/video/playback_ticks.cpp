#include "video/playback_ticks.h"

#include <QTimer>
#include <utility>

namespace vantrel {

PlaybackTicks::PlaybackTicks(QObject* parent) : QObject(parent) {}

void PlaybackTicks::Start(Callback onTick, int periodMs) {
    Stop();
    onTick_ = std::move(onTick);
    periodMs_ = periodMs;
    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(periodMs);
    const QTimer* source = timer_;
    connect(timer_, &QTimer::timeout, this, [this, source] { Deliver(source); });
    timer_->start();
}

void PlaybackTicks::Stop() {
    if (timer_ == nullptr) return;
    timer_->stop();
    // The callback may stop its own source from inside a tick.
    timer_->deleteLater();
    timer_ = nullptr;
    periodMs_ = 0;
}

void PlaybackTicks::Deliver(const QTimer* source) {
    if (source != timer_ || delivering_) return;
    delivering_ = true;
    // A copy: the callback may start another source, replacing the one it runs from.
    const Callback onTick = onTick_;
    onTick();
    delivering_ = false;
}

}  // namespace vantrel
