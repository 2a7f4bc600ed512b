// While alive, Ctrl+C (SIGINT) and SIGTERM do not end the program: they set the project's
// cancel flag, which a running stream operation polls, so that it stops cleanly and removes
// what it had half written.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace vantrel::cli {

class InterruptCancels {
  public:
    // Must be constructed before any other thread is started, so that they all inherit the
    // blocked signals.
    explicit InterruptCancels(std::atomic<int>& cancel);
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

    bool Interrupted() const { return interrupted_.load(); }

  private:
    std::atomic<int>& cancel_;
    std::atomic<bool> interrupted_{false};
    sigset_t previous_;
    std::thread waiter_;
};

}  // namespace vantrel::cli
