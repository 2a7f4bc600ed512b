// While alive, Ctrl+C (SIGINT) and SIGTERM do not end the program: they raise the project's
// cancel flag, which every long loop of the commands polls, so that the command stops cleanly
// and leaves no output behind. The flag stays raised for the rest of the command. A call of the
// command's thread that waits for ever (opening a named pipe that no one writes) is interrupted
// then, so that it fails and the command sees the flag.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

namespace vantrel::cli {

class InterruptCancels {
  public:
    // Must be constructed before any other thread is started, so that they all inherit the
    // blocked signals, on the thread that runs the command.
    explicit InterruptCancels(std::atomic<int>& cancel);
    ~InterruptCancels();
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

  private:
    std::atomic<int>& cancel_;
    sigset_t previous_;
    struct sigaction previousWake_ {};
    std::thread waiter_;
};

}  // namespace vantrel::cli
