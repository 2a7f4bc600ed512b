#include "video/playback_ticks.h"

#include <QTimer>
#include <utility>

namespace vantrel {

PlaybackTicks::PlaybackTicks(Receiver receiver, QObject* parent)
    : QObject(parent), receiver_(std::move(receiver)) {}

void PlaybackTicks::Start(int id, int periodMs) {
    Stop();
    id_ = id;
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
    // The receiver may stop its own source from inside a tick.
    timer_->deleteLater();
    timer_ = nullptr;
}

void PlaybackTicks::Deliver(const QTimer* source) {
    if (source != timer_ || delivering_) return;
    delivering_ = true;
    receiver_(id_);
    delivering_ = false;
}

}  // namespace vantrel
