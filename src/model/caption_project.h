// The project: the captions, the video paths and the flags that the views and the file and
// stream operations share.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "model/caption_list.h"
#include "model/project_host.h"

namespace vantrel {

struct CaptionProject {
    std::string videoPath;
    std::string secondPath;
    // The project file gave the video a relative path: it is saved relative again.
    bool relativeVideoPath = false;
    ProjectHost* host = nullptr;  // the main view, or the command-line tool; may be null
    CaptionList captions;
    bool modified = false;
    // Raised by a cancel request (the progress dialog, Ctrl+C on the command line) and looked at
    // by every long loop. The command line never lowers it: a Ctrl+C stands for the whole
    // command; the window's progress dialog lowers it when its run ends.
    std::atomic<int> cancel{0};
    // Told after every change to the captions (and on a save): the flag it now has.
    std::function<void(bool modified)> onModified;

    // The one place the window marks the project changed, or back at its saved state.
    void SetModified(bool on) {
        modified = on;
        if (onModified) onModified(on);
    }

    void ClearCaptions() {
        captions.Clear();
        modified = true;
    }

    // Replaces the captions by those of `read` (which ends empty): the last step of an import
    // or a load, taken only once everything was read.
    void ReplaceCaptions(CaptionList& read) {
        ClearCaptions();
        captions.MoveFrom(read);
    }
};

// How a long loop looks at a cancel flag (which may be null: no cancel): once per block of
// calls, so that asking on every line or caption costs nothing, and on the first call, so that
// a request made before the loop began is seen at once. Stays true once it has seen the flag.
class CancelPoll {
  public:
    explicit CancelPoll(const std::atomic<int>* flag) : flag_(flag) {}
    bool operator()() {
        if (!seen_ && flag_ != nullptr && calls_++ % kBlock == 0) {
            seen_ = flag_->load(std::memory_order_relaxed) != 0;
        }
        return seen_;
    }

  private:
    static constexpr uint32_t kBlock = 256;
    const std::atomic<int>* flag_;
    uint32_t calls_ = 0;
    bool seen_ = false;
};

inline bool CancelRaised(const std::atomic<int>* flag) {
    return flag != nullptr && flag->load(std::memory_order_relaxed) != 0;
}

}  // namespace vantrel
