// A job of its own thread that reads a video in the background (its sound's peaks, its shot
// changes): the window may pause it while the video plays and cancels it when the video closes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vantrel {

// How a job's work is steered: checked between packets.
class JobControl {
  public:
    // False once the job is cancelled; otherwise waits while the job is paused.
    bool Proceed() const;
    bool Cancelled() const { return cancelled_.load(std::memory_order_relaxed); }

    void Cancel();
    void SetPaused(bool paused);

  private:
    std::atomic<bool> cancelled_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool paused_ = false;
};

enum class MediaRead {
    kDone,       // the whole stream was read
    kCancelled,  // stopped on request
    kFailed,     // no such stream, or the file cannot be read
};

class MediaJob {
  public:
    MediaJob() = default;
    // Cancels and waits for the work to stop.
    ~MediaJob();
    MediaJob(const MediaJob&) = delete;
    MediaJob& operator=(const MediaJob&) = delete;

    // Runs `work` on a thread of its own; with `idle`, at the lowest priority the system has,
    // so that it takes only time nothing else wants (the threads it starts inherit it).
    void Start(std::function<void(const JobControl&)> work, bool idle = true);
    // Stops the work (it ends at its next check) and waits for it.
    void Cancel();
    void SetPaused(bool paused);
    bool Running() const { return running_.load(); }

  private:
    // A new one for each run, so that a cancelled run stays cancelled.
    std::unique_ptr<JobControl> control_ = std::make_unique<JobControl>();
    bool paused_ = false;
    std::thread thread_;
    std::atomic<bool> running_{false};
};

// Lowers the calling thread to idle priority (SCHED_IDLE where the system has it, else the
// highest nice value).
void LowerThreadPriority();

}  // namespace vantrel
