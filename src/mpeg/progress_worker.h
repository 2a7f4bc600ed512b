// The worker side of the progress dialog, without any window: runs an extraction or a
// multiplex on a thread of its own, turns byte positions into bar positions 0 to 1000, keeps
// the busy mark and passes cancel requests to the project. The Qt dialog and the command-line
// tool each show it with a ProgressDisplay of their own.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

#include "codec/decoder.h"
#include "model/caption_list.h"
#include "mpeg/mpeg_outcome.h"

namespace vantrel {

class File;
struct CaptionProject;

enum class OperationMode : int {
    Extraction = 0,
    Multiplexing = 1,
    TranscriptImport = 2,  // a transcript's text laid out as captions
    SpeechTiming = 3,      // captions found in the programme's speech
};

// What a long stream operation tells about how far it has got.
class ProgressSink {
  public:
    virtual ~ProgressSink() = default;

    // Called on the worker thread with the byte offset the operation has reached in its source.
    virtual void SetProgress(uint64_t position) = 0;
};

class ProgressWorker final : public ProgressSink {
  public:
    static constexpr uint32_t kBarRange = 1000;

    // Called on the worker thread: with each new bar position (0 to 1000), and once at the end,
    // after the busy mark has been cleared.
    using BarCallback = std::function<void(uint32_t barPosition)>;
    using DoneCallback = std::function<void()>;

    // An operation that reads its source itself (a video file through libavformat): an
    // extraction fills the list; returns how it ended.
    using Job =
        std::function<MpegOutcome(ProgressSink&, const std::atomic<int>& cancel, CaptionList&)>;

    // `total` is the source's length in bytes. In extraction the destination is not used (pass
    // the source again). The files and the project must outlive the worker.
    ProgressWorker(uint64_t total, OperationMode mode, File& source, File& destination,
                   CaptionProject& project);
    // An operation run by `job`.
    ProgressWorker(uint64_t total, OperationMode mode, CaptionProject& project, Job job);
    ~ProgressWorker();  // waits for the worker thread
    ProgressWorker(const ProgressWorker&) = delete;
    ProgressWorker& operator=(const ProgressWorker&) = delete;

    OperationMode Mode() const { return mode_; }
    // What the display's title says of the run; empty: the mode's own title.
    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::string& Title() const { return title_; }
    // How an extraction decodes the captions (channel, roll-up); set before Start.
    void SetDecodeOptions(const DecodeOptions& options) { decodeOptions_ = options; }

    // Sets the busy mark and then starts the thread, so that a worker that ends at once can
    // never leave the mark set behind it. A cancel requested before (Ctrl+C as the command
    // line got ready) stays raised and stops the operation at its first look. Called once.
    // False when no thread can be started: the operation is not run at all (on the caller's
    // thread its blocking bar updates would wait for that very thread), neither callback is
    // called, and Outcome() is NotStarted with the message that says so.
    bool Start(BarCallback onBar, DoneCallback onDone);
    // Lowers the project's cancel flag once the worker has ended, so that a request meant for
    // this run never reaches the next: for a display that runs one operation after another.
    void ForgetCancel();

    bool Busy() const { return busy_.load(std::memory_order_acquire); }

    // A cancel request (Escape, a close request, Ctrl+C): while busy, sets the project's cancel
    // flag and returns false (the display stays until the worker ends); otherwise returns true:
    // the display may close. The close that the done callback asks for arrives here too.
    bool RequestCancel();
    // An accept request (Enter): true when the display may close, that is when not busy.
    bool AcceptsClose() const { return !Busy(); }

    // Waits for the worker thread to return. Afterwards Outcome() and Extracted() are the
    // caller's.
    void Wait();
    const MpegOutcome& Outcome() const { return outcome_; }
    // The captions an extraction decoded, for the caller to move into the project.
    CaptionList& Extracted() { return extracted_; }

    // ProgressSink, on the worker thread: the bar callback sees position / step when it
    // changes.
    void SetProgress(uint64_t position) override;

  private:
    void Work();

    const uint64_t step_;
    const OperationMode mode_;
    File* source_ = nullptr;
    File* destination_ = nullptr;
    CaptionProject& project_;
    Job job_;
    BarCallback onBar_;
    DoneCallback onDone_;
    uint32_t bar_ = 0;      // worker thread only
    uint64_t barFrom_ = 0;  // the first position of bar_'s step
    std::atomic<bool> busy_{false};
    MpegOutcome outcome_;
    CaptionList extracted_;
    DecodeOptions decodeOptions_;
    std::string title_;
    std::thread thread_;
};

// Shows a worker's progress: the progress dialog, or a bar on a terminal.
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;

    // Starts the worker (worker.Start with a bar callback and a done callback), shows the bar
    // while it runs, passes the user's cancel requests to worker.RequestCancel(), and returns
    // once the done callback has run. The dialog sets the title for the worker's Mode() and
    // runs modally; the bar callback must not return before the bar has moved.
    virtual void Run(ProgressWorker& worker) = 0;
};

}  // namespace vantrel
