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
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <string>
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

    // Loads a file and waits until its first frame is shown, paused at the start. Returns
    // kMediaVideo, kMediaAudioOnly, or kMediaFailed (then nothing is open): also for any name
    // that is not an existing regular file (a URL, a device), and for a playlist, whose
    // references are never followed.
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

    // How long Open waits for the frame index (it reads the whole file) after libmpv has shown
    // the first frame. A longer file opens without it, its length measured by libmpv; the index
    // takes over paused seeks and the frame count when it is done.
    void SetIndexWait(std::chrono::milliseconds wait) { indexWait_ = wait; }
    bool Indexed() const { return source_ != nullptr; }

    // True while a load or seek has not yet shown its frame.
    bool Busy() const { return seekPending_; }
    const FrameClock& Clock() const { return clock_; }

    // The picture, stretched to the picture size (480 x 360 unless set otherwise). While
    // playing the image shares the buffer that libmpv renders into: copy() it to keep a picture.
    const QImage& Picture() const { return sourceShown_ ? shown_ : picture_; }
    void SetPictureSize(QSize size);

    // Cost of the software renders so far (for measurements).
    int64_t RenderCount() const { return renderCount_; }
    std::chrono::nanoseconds RenderTime() const { return renderTime_; }
    // Bytes of pictures kept for stepping back (for measurements).
    size_t CachedBytes() const { return source_ ? source_->CacheBytes() : 0; }

  signals:
    // A new picture is in Picture().
    void PictureChanged();
    // Playback reached the end of the media and stopped on its last frame.
    void EndOfMedia();

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
    bool WaitForRestart(std::chrono::milliseconds timeout);
    int64_t MeasureFrameCount(const std::string& path, double duration);
    int64_t FramesUpToEnd(int64_t fromFrame);

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
    // Paused frames of our own; shown_ is on screen instead of libmpv's picture until a
    // playback hand-over has brought libmpv to the same frame.
    std::unique_ptr<FrameSource> source_;
    std::future<std::unique_ptr<FrameSource>> indexing_;
    std::atomic<bool> cancelIndex_{false};
    std::chrono::milliseconds indexWait_{2000};
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
