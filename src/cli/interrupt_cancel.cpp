#include "cli/interrupt_cancel.h"

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
}  // namespace

InterruptCancels::InterruptCancels(std::atomic<int>& cancel) : cancel_(cancel) {
    const sigset_t set = WaitedSignals();
    pthread_sigmask(SIG_BLOCK, &set, &previous_);
    // An interrupt already pending (sent while the signals were blocked by whoever started us)
    // is taken here, before any work starts, rather than whenever the waiting thread runs.
    sigset_t interrupts = set;
    sigdelset(&interrupts, SIGUSR1);
    const timespec now{};
    while (sigtimedwait(&interrupts, nullptr, &now) > 0) cancel_ = 1;
    waiter_ = std::thread([this] {
        const sigset_t waited = WaitedSignals();
        while (true) {
            int signal = 0;
            if (sigwait(&waited, &signal) != 0 || signal == SIGUSR1) return;
            cancel_ = 1;
        }
    });
}

InterruptCancels::~InterruptCancels() {
    pthread_kill(waiter_.native_handle(), SIGUSR1);
    waiter_.join();
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace vantrel::cli
