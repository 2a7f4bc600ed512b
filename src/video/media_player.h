// The media player: opens a file, runs, pauses, reports and sets the position, and gives the
// picture that the video window paints. libmpv plays (sound, timing) and renders in software;
// while paused, seeks and steps go to a frame source of our own, which is faster, and the two
// hand over at the current frame on play and pause.
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "video/frame_clock.h"
#include "video/frame_source.h"

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;

namespace vantrel {

enum MediaKind : int {
    kMediaFailed = 0,
    kMediaAudioOnly = 1,
    kMediaVideo = 3,  // has a picture (bit value 2)
};

class MediaPlayer : public QObject {
    Q_OBJECT

  public:
    // Extra libmpv options, mostly for tests ("ao" = "null"). If libmpv rejects one of them,
    // or one of the options exact playback needs, the player is not available.
    struct Option {
        std::string name;
        std::string value;
    };

    explicit MediaPlayer(const std::vector<Option>& options = {}, QObject* parent = nullptr);
    ~MediaPlayer() override;
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // False when libmpv could not be set up; every operation then does nothing.
    bool IsAvailable() const { return handle_ != nullptr && render_ != nullptr; }

    // Loads a file and waits until its first frame is shown, paused at the start, running the
    // thread's events meanwhile (an Open or Close they make ends the load: kMediaFailed).
    // Returns kMediaVideo, kMediaAudioOnly, or kMediaFailed (then nothing is open): also for any
    // name that is not an existing regular file (a URL, a device), and for a playlist, whose
    // references are never followed. The frame index is built in the background: until it is
    // complete the frame count is estimated (IndexChanged tells of each step), seeks within its
    // part use our frame source and those beyond it libmpv's exact seek.
    MediaKind Open(const std::string& path);
    void Close();
    bool IsOpen() const { return kind_ != kMediaFailed; }
    bool HasPicture() const { return kind_ == kMediaVideo; }

    void Run();
    void Pause();

    // Media time in 100 ns units. With a picture, positions are frame multiples of
    // kVideoFrameDuration: frame k of the file is reported as k * kVideoFrameDuration.
    int64_t Position() const;
    int64_t Duration() const;
    // Absolute, exact seek; with a picture the target's frame is shown. libmpv makes no
    // difference between flushing and not flushing, so there is one kind of seek.
    void Seek(int64_t position);
    // For dragging the slider: while paused, shows at once a frame near the position (the
    // frame itself when it is at hand, otherwise a cached frame or the key frame before it)
    // and reports that frame as the position. Seek() to the exact frame when the drag ends.
    void Scrub(int64_t position);

    // Playback speed (1 is normal). libmpv stretches the sound in time, keeping its pitch;
    // positions stay media time, so frames stay exact at any speed. Kept over Open and Close.
    void SetSpeed(double speed);
    // The speed libmpv plays at.
    double Speed() const;

    // How long Open waits for the whole frame index after libmpv has shown the first frame
    // (by default none for a long file, whose count is estimated until the index is done; up
    // to a second for a file under 64 MiB).
    void SetIndexWait(std::chrono::milliseconds wait) { indexWait_ = wait; }
    // Whether the whole index is done and gives the frame count.
    bool Indexed() const { return indexComplete_; }
    // The frames from 0 that our frame source serves so far.
    int64_t IndexedFrames() const { return indexedFrames_; }
    // For tests and measurements: the index stops growing once it serves this many frames,
    // until a larger number is given.
    void HoldIndexAt(int64_t frames) { indexHold_ = frames; }
    // Where whole indexes are kept for the next open of the same file (the user's cache folder
    // unless set; "" keeps none).
    void SetIndexCacheFolder(const std::string& folder) { indexCacheFolder_ = folder; }

    // True while a load or seek has not yet shown its frame.
    bool Busy() const { return seekPending_ || awaitedFrame_ >= 0; }
    const FrameClock& Clock() const { return clock_; }

    // The picture, stretched to the picture size (480 x 360 unless set otherwise), which the
    // video window keeps at the display shape. While playing the image shares the buffer that
    // libmpv renders into: copy() it to keep a picture.
    const QImage& Picture() const { return sourceShown_ ? shown_ : picture_; }
    void SetPictureSize(QSize size);
    // The size of the open video's picture as shown, its sample aspect applied (1920 x 1080
    // for a 1440 x 1080 picture of 4:3 samples); empty when unknown or nothing is open.
    QSize DisplaySize() const { return HasPicture() ? displaySize_ : QSize(); }

    // Cost of the software renders so far (for measurements).
    int64_t RenderCount() const { return renderCount_; }
    std::chrono::nanoseconds RenderTime() const { return renderTime_; }
    // libmpv's counts of frames dropped so far: by the video output for lateness, and by the
    // decoder (for measurements).
    std::pair<int64_t, int64_t> DroppedFrames() const;
    // Bytes of pictures kept for stepping back (for measurements).
    size_t CachedBytes() const { return source_ ? source_->CacheBytes() : 0; }

  signals:
    // A new picture is in Picture().
    void PictureChanged();
    // Playback reached the end of the media and stopped on its last frame.
    void EndOfMedia();
    // The frame index grew or was completed: IndexedFrames(), and the frame count.
    void IndexChanged();

  private:
    void Create(const std::vector<Option>& options);
    void Destroy();

    void ScheduleRender();
    // `always`: render the frame libmpv holds even when it reports nothing new.
    void RenderPicture(bool always = false);
    void ScheduleEvents();
    void DrainEvents();
    void HandleEvent(const mpv_event& event);
    void RaiseEndOfMedia();
    void ClearPicture();
    FrameSource* Source();
    void AdoptIndex();
    void StartIndex(const std::string& path);
    void DropIndex();
    void Prefetch(int64_t frame);
    // Waits for the prefetch to end, stopping it first unless `frame` is its frame or a
    // neighbour (-1: stop it).
    void SettlePrefetch(int64_t frame);
    bool ShowFromSource(const QImage& picture, int64_t frame);
    void HandOverToPlayback();

    static constexpr uint64_t kEofObservation = 1;
    static constexpr std::chrono::milliseconds kSeekTimeout{5000};

    // Runs libmpv's events and renders on this thread until `done` says so or time runs out.
    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
    bool WaitForLoad();
    int64_t EstimatedFrames() const;
    bool Serves(int64_t frame) const;
    bool AwaitsIndex(int64_t frame) const;

    void Command(std::initializer_list<const char*> args);
    void SeekSeconds(double seconds);
    void IssueSeek(double seconds);
    double DoubleProperty(const char* name, double fallback) const;
    std::string StringProperty(const char* name) const;
    bool FlagProperty(const char* name) const;
    void SetProperty(const char* name, const char* value);

    mpv_handle* handle_ = nullptr;
    mpv_render_context* render_ = nullptr;
    std::atomic<bool> renderQueued_{false};
    std::atomic<bool> eventsQueued_{false};
    // Raised by libmpv's callbacks, so that WaitUntil goes on at once rather than at its next
    // turn.
    struct Wakeup {
        std::mutex mutex;
        std::condition_variable raised;
        bool pending = false;
    };
    Wakeup wakeup_;
    void Wake();

    MediaKind kind_ = kMediaFailed;
    FrameClock clock_;
    bool running_ = false;
    bool endRaised_ = false;
    double dropsAtRun_ = 0;  // libmpv's count of dropped frames when playback started
    bool seekPending_ = false;
    bool seekQueued_ = false;  // a target waits for the seek in flight
    double queuedSeconds_ = 0.0;
    std::chrono::steady_clock::time_point seekIssued_;
    int64_t seekFrame_ = -1;  // frame of the last seek, until playback moves on
    // Load progress as seen by the event loop of Open.
    int64_t entry_ = -1;  // playlist entry of the file being opened or open
    bool loadIssued_ = false;
    bool fileStarted_ = false;
    bool fileEnded_ = false;
    bool fileLoaded_ = false;
    bool eofReached_ = false;

    struct FreeDeleter {
        void operator()(uchar* p) const;
    };
    std::unique_ptr<uchar, FreeDeleter> pixels_;
    size_t stride_ = 0;
    QImage picture_;
    QSize displaySize_;
    // Paused frames of our own; shown_ is on screen instead of libmpv's picture until a
    // playback hand-over has brought libmpv to the same frame.
    std::unique_ptr<FrameSource> source_;
    // What the index's thread hands over: the source once it has shown its first frame, the
    // newest index, and how much of the file it has read.
    struct Indexing {
        std::mutex mutex;
        std::unique_ptr<FrameSource> source;
        std::shared_ptr<const FrameIndex> index;
        double read = 0.0;
        // The count before the index is complete: the container's, or a kept index's.
        int64_t knownFrames = -1;
        bool failed = false;
    };
    Indexing indexing_;
    std::future<void> indexThread_;
    std::atomic<bool> cancelIndex_{false};
    // A seek of libmpv's is under way or has just ended: the scan waits.
    std::atomic<bool> seeking_{false};
    int settleGeneration_ = 0;
    std::atomic<bool> loading_{false};  // libmpv loads the file being opened
    std::atomic<int64_t> indexHold_{INT64_MAX};
    std::string indexCacheFolder_;
    std::shared_ptr<const FrameIndex> index_;  // the one the source was given last
    bool indexComplete_ = false;
    int64_t indexedFrames_ = 0;
    int64_t knownFrames_ = -1;
    double durationFrames_ = 0.0;  // libmpv's length of the file, in frames
    double indexRead_ = 0.0;
    bool waiting_ = false;  // in WaitUntil, which runs the thread's events
    // A paused seek that waits for the index to reach its frame, when libmpv cannot seek
    // exactly (raw streams) or the index is about to get there.
    int64_t awaitedFrame_ = -1;
    int awaitGeneration_ = 0;
    bool rawStream_ = false;
    bool smallFile_ = false;
    bool indexFailed_ = false;
    std::chrono::steady_clock::time_point indexStarted_;
    bool opening_ = false;  // Open is waiting for the load
    bool openAbandoned_ = false;
    std::chrono::milliseconds indexWait_{0};
    QImage shown_;
    bool sourceShown_ = false;
    // After a pause the source decodes the group of the frame on screen on a thread of its own,
    // so that the first step from libmpv's picture is as cheap as the next.
    std::future<void> prefetch_;
    std::atomic<bool> cancelPrefetch_{false};
    int64_t prefetchFrame_ = -1;
    int64_t renderCount_ = 0;
    std::chrono::nanoseconds renderTime_{0};
};

}  // namespace vantrel
