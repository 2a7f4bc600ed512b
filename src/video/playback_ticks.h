// The view's periodic ticks, delivered on the UI thread one at a time by at most one running
// source, each with its own callback: every 17 ms while playing, every 100 ms while scanning.
#pragma once

#include <QObject>
#include <functional>

class QTimer;

namespace vantrel {

constexpr int kPlaybackTickMs = 17;  // at normal speed; faster playback ticks more often
constexpr int kScanTickMs = 100;

class PlaybackTicks : public QObject {
    Q_OBJECT

  public:
    using Callback = std::function<void()>;

    explicit PlaybackTicks(QObject* parent = nullptr);

    // Stops the running source, if any, and starts a new one that calls `onTick`.
    void Start(Callback onTick, int periodMs);
    // Stops the running source: once this has returned no tick of it is delivered.
    void Stop();

    bool Running() const { return timer_ != nullptr; }
    int PeriodMs() const { return periodMs_; }

  private:
    void Deliver(const QTimer* source);

    Callback onTick_;
    QTimer* timer_ = nullptr;
    int periodMs_ = 0;
    // A callback that runs the event loop must not get a second tick before it returns.
    bool delivering_ = false;
};

}  // namespace vantrel
