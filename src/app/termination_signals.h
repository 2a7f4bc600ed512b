// SIGTERM and SIGHUP (a logout, a closed terminal, a system shutting down) as a Qt signal on the
// window's thread: the handler only writes the signal's number into a pipe, whose reading end a
// QSocketNotifier watches, so that the window can write its recovery file and end properly.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace vantrel {

class TerminationSignals : public QObject {
    Q_OBJECT

  public:
    // Installs the handlers; one object per program.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Whether one of the signals has arrived.
    bool Received() const { return received_ != 0; }
    int Signal() const { return received_; }

  signals:
    void Arrived(int signal);

  private:
    void Read();

    std::unique_ptr<QSocketNotifier> notifier_;
    int received_ = 0;
};

}  // namespace vantrel
