#include "cli/interrupt_cancel.h"

#include <ctime>

namespace vantrel::cli {

namespace {

// SIGUSR1 only wakes the waiting thread when the guard ends.
sigset_t WaitedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGUSR1);
    return set;
}

// Interrupts the command's thread: its handler does nothing, and it is installed without
// SA_RESTART, so that a waiting system call returns EINTR.
constexpr int kWakeSignal = SIGUSR2;

void Ignore(int) {}

sigset_t Only(int signal) {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    return set;
}

}  // namespace

InterruptCancels::InterruptCancels(std::atomic<int>& cancel) : cancel_(cancel) {
    sigset_t blocked = WaitedSignals();
    sigaddset(&blocked, kWakeSignal);
    pthread_sigmask(SIG_BLOCK, &blocked, &previous_);
    struct sigaction wake {};
    wake.sa_handler = Ignore;
    sigemptyset(&wake.sa_mask);
    sigaction(kWakeSignal, &wake, &previousWake_);
    // An interrupt already pending (sent while the signals were blocked by whoever started us)
    // is taken here, before any work starts, rather than whenever the waiting thread runs.
    sigset_t interrupts = WaitedSignals();
    sigdelset(&interrupts, SIGUSR1);
    const timespec now{};
    while (sigtimedwait(&interrupts, nullptr, &now) > 0) cancel_ = 1;
    waiter_ = std::thread([this, command = pthread_self()] {
        const sigset_t waited = WaitedSignals();
        // Once the flag is up the command's thread is woken again every so often, for a call
        // it entered just after the last wake-up (between looking at the flag and waiting).
        const timespec again{0, 100'000'000};
        while (true) {
            const int signal =
                cancel_ ? sigtimedwait(&waited, nullptr, &again) : sigwaitinfo(&waited, nullptr);
            if (signal == SIGUSR1) return;
            if (signal == SIGINT || signal == SIGTERM) cancel_ = 1;
            if (cancel_) pthread_kill(command, kWakeSignal);
        }
    });
    // Only the command's thread (and the workers it starts) takes the wake-up.
    const sigset_t wakeOnly = Only(kWakeSignal);
    pthread_sigmask(SIG_UNBLOCK, &wakeOnly, nullptr);
}

InterruptCancels::~InterruptCancels() {
    pthread_kill(waiter_.native_handle(), SIGUSR1);
    waiter_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    sigaction(kWakeSignal, &previousWake_, nullptr);
}

}  // namespace vantrel::cli
