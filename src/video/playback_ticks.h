// The view's periodic ticks, delivered on the UI thread one at a time by at most one running
// source: id 1 every 17 ms while playing, id 2 or 3 every 100 ms while scanning.
#pragma once

#include <QObject>
#include <functional>

class QTimer;

namespace vantrel {

constexpr int kPlaybackTickId = 1;
constexpr int kScanForwardTickId = 2;
constexpr int kScanBackwardTickId = 3;
constexpr int kPlaybackTickMs = 17;
constexpr int kScanTickMs = 100;

class PlaybackTicks : public QObject {
    Q_OBJECT

  public:
    using Receiver = std::function<void(int id)>;

    explicit PlaybackTicks(Receiver receiver, QObject* parent = nullptr);

    // Stops the running source, if any, and starts a new one.
    void Start(int id, int periodMs);
    // Stops the running source: once this has returned no tick of it is delivered.
    void Stop();

    bool Running() const { return timer_ != nullptr; }
    int RunningId() const { return timer_ != nullptr ? id_ : 0; }

  private:
    void Deliver(const QTimer* source);

    Receiver receiver_;
    QTimer* timer_ = nullptr;
    int id_ = 0;
    // A receiver that runs the event loop must not get a second tick before it returns.
    bool delivering_ = false;
};

}  // namespace vantrel
