#include "media/media_job.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace vantrel {

bool JobControl::Proceed() const {
    if (Cancelled()) return false;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !paused_ || Cancelled(); });
    return !Cancelled();
}

void JobControl::Cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    changed_.notify_all();
}

void JobControl::SetPaused(bool paused) {
    {
        std::lock_guard lock(mutex_);
        paused_ = paused;
    }
    changed_.notify_all();
}

MediaJob::~MediaJob() {
    Cancel();
}

void MediaJob::Start(std::function<void(const JobControl&)> work, bool idle) {
    Cancel();
    control_ = std::make_unique<JobControl>();
    control_->SetPaused(paused_);
    running_ = true;
    thread_ = std::thread([this, control = control_.get(), work = std::move(work), idle] {
        if (idle) LowerThreadPriority();
        work(*control);
        running_ = false;
    });
}

void MediaJob::SetPaused(bool paused) {
    paused_ = paused;
    control_->SetPaused(paused);
}

void MediaJob::Cancel() {
    control_->Cancel();
    if (thread_.joinable()) thread_.join();
    running_ = false;
}

void LowerThreadPriority() {
#ifdef SCHED_IDLE
    sched_param param{};
    if (pthread_setschedparam(pthread_self(), SCHED_IDLE, &param) == 0) return;
#endif
    // On Linux the nice value belongs to the thread.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

}  // namespace vantrel
