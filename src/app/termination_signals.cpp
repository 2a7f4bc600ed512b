#include "app/termination_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace vantrel {

namespace {

int pipeEnds[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signal) {
    const int saved = errno;
    const char number = static_cast<char>(signal);
    // A full pipe already holds a signal to act on.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &number, 1);
    errno = saved;
}

constexpr int kSignals[] = {SIGTERM, SIGHUP};

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::Read);
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : kSignals) ::sigaction(s, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
    if (pipeEnds[0] < 0) return;
    for (const int s : kSignals) ::signal(s, SIG_DFL);
    notifier_.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
}

void TerminationSignals::Read() {
    char number = 0;
    while (::read(pipeEnds[0], &number, 1) == 1) {
        // The first one counts; a second while the first is handled changes nothing.
        if (received_ != 0) continue;
        received_ = number;
        emit Arrived(number);
    }
}

}  // namespace vantrel
