#include "video/media_player.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <clocale>
#include <cstdlib>

#include "video/index_cache.h"
#include "video/mpv_options.h"

namespace vantrel {

namespace {

constexpr QSize kDefaultPictureSize(480, 360);
constexpr std::chrono::milliseconds kWaitTurn(2);
constexpr std::chrono::milliseconds kSeekSettle(30);

}  // namespace

void MediaPlayer::FreeDeleter::operator()(uchar* p) const {
    std::free(p);
}

MediaPlayer::MediaPlayer(const std::vector<Option>& options, QObject* parent)
    : QObject(parent), indexCacheFolder_(DefaultIndexCacheFolder()) {
    SetPictureSize(kDefaultPictureSize);
    Create(options);
}

MediaPlayer::~MediaPlayer() {
    DropIndex();
    Destroy();
}

void MediaPlayer::Create(const std::vector<Option>& options) {
    // libmpv refuses to start under a numeric locale other than "C"; QApplication sets the
    // user's locale when it starts.
    std::setlocale(LC_NUMERIC, "C");
    handle_ = mpv_create();
    if (handle_ == nullptr) return;
    bool accepted = true;
    for (const auto& option : kQuietOptions) mpv_set_option_string(handle_, option[0], option[1]);
    for (const auto& option : kRequiredOptions) {
        accepted = accepted && mpv_set_option_string(handle_, option[0], option[1]) >= 0;
    }
    // The caller's options are required too: a player that ignored them would not be the one
    // asked for.
    for (const auto& option : options) {
        accepted = accepted &&
                   mpv_set_option_string(handle_, option.name.c_str(), option.value.c_str()) >= 0;
    }
    if (!accepted || mpv_initialize(handle_) < 0) {
        Destroy();
        return;
    }
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&render_, handle_, params) < 0) {
        render_ = nullptr;
        Destroy();
        return;
    }
    mpv_observe_property(handle_, kEofObservation, "eof-reached", MPV_FORMAT_FLAG);
    // libmpv calls these on its own threads; they only queue work for this object's thread.
    mpv_set_wakeup_callback(
        handle_,
        [](void* player) {
            static_cast<MediaPlayer*>(player)->ScheduleEvents();
            static_cast<MediaPlayer*>(player)->Wake();
        },
        this);
    // No mpv call may be made from here (not even mpv_wakeup).
    mpv_render_context_set_update_callback(
        render_,
        [](void* player) {
            static_cast<MediaPlayer*>(player)->ScheduleRender();
            static_cast<MediaPlayer*>(player)->Wake();
        },
        this);
}

void MediaPlayer::Destroy() {
    // Unhooking the callbacks waits for any that is running, so none can reach a dead object.
    if (render_ != nullptr) {
        mpv_render_context_set_update_callback(render_, nullptr, nullptr);
        mpv_render_context_free(render_);
        render_ = nullptr;
    }
    if (handle_ != nullptr) {
        mpv_set_wakeup_callback(handle_, nullptr, nullptr);
        mpv_terminate_destroy(handle_);
        handle_ = nullptr;
    }
    kind_ = kMediaFailed;
}

void MediaPlayer::ScheduleRender() {
    if (renderQueued_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            renderQueued_ = false;
            RenderPicture();
        },
        Qt::QueuedConnection);
}

void MediaPlayer::Wake() {
    {
        const std::lock_guard<std::mutex> lock(wakeup_.mutex);
        wakeup_.pending = true;
    }
    wakeup_.raised.notify_one();
}

void MediaPlayer::ScheduleEvents() {
    if (eventsQueued_.exchange(true)) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            eventsQueued_ = false;
            DrainEvents();
        },
        Qt::QueuedConnection);
}

void MediaPlayer::RenderPicture(bool always) {
    if (render_ == nullptr) return;
    if ((mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) == 0 && !always) return;
    if (pixels_ == nullptr) return;  // no picture buffer could be had
    int size[2] = {picture_.width(), picture_.height()};
    // Without this the render waits for the frame's display time, about 50 ms in playback.
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, size},
        {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>("rgb0")},
        {MPV_RENDER_PARAM_SW_STRIDE, &stride_},
        {MPV_RENDER_PARAM_SW_POINTER, pixels_.get()},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    auto start = std::chrono::steady_clock::now();
    mpv_render_context_render(render_, params);
    renderTime_ += std::chrono::steady_clock::now() - start;
    ++renderCount_;
    emit PictureChanged();
}

void MediaPlayer::SetPictureSize(QSize size) {
    if (size.isEmpty() || size == picture_.size()) return;
    const size_t stride = (static_cast<size_t>(size.width()) * 4 + 63) / 64 * 64;
    auto* pixels = static_cast<uchar*>(std::aligned_alloc(64, stride * size.height()));
    if (pixels == nullptr) return;  // without memory the picture keeps its old size
    stride_ = stride;
    pixels_.reset(pixels);
    picture_ = QImage(pixels_.get(), size.width(), size.height(), static_cast<qsizetype>(stride_),
                      QImage::Format_RGBX8888);
    ClearPicture();
    // The frame on screen is drawn again at the new size at once: paused, libmpv would report
    // no new frame to draw.
    if (render_ != nullptr && HasPicture()) {
        RenderPicture(true);
    } else if (render_ != nullptr) {
        ScheduleRender();
    }
    if (Source() != nullptr) {
        SettlePrefetch(-1);
        source_->SetPictureSize(size);
        if (sourceShown_) ShowFromSource(source_->Frame(seekFrame_), seekFrame_);
    }
}

void MediaPlayer::DrainEvents() {
    if (handle_ == nullptr) return;
    for (;;) {
        mpv_event* event = mpv_wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE) break;
        HandleEvent(*event);
    }
}

void MediaPlayer::HandleEvent(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_START_FILE:
            entry_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
            fileStarted_ = true;
            break;
        case MPV_EVENT_FILE_LOADED:
            if (fileStarted_) fileLoaded_ = true;
            break;
        case MPV_EVENT_END_FILE:
            // The stop of a previous file can still arrive while the next one loads.
            if (static_cast<const mpv_event_end_file*>(event.data)->playlist_entry_id == entry_) {
                fileEnded_ = true;
            }
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            if (seekQueued_) {
                seekQueued_ = false;
                IssueSeek(queuedSeconds_);
                break;
            }
            seekPending_ = false;
            // The scan goes on a moment later, so that a run of seeks (a drag of the slider)
            // keeps the processor.
            QTimer::singleShot(kSeekSettle, this, [this, generation = ++settleGeneration_] {
                if (generation == settleGeneration_ && !seekPending_) seeking_ = false;
            });
            // In playback the reported time is the shown frame's own; paused, the seek's
            // frame stays the answer (a frame without a timestamp gets a guessed one).
            if (running_) {
                seekFrame_ = -1;
                // libmpv has reached the frame of a hand-over: its pictures are shown again.
                if (sourceShown_) {
                    sourceShown_ = false;
                    emit PictureChanged();
                }
            }
            break;
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* property = static_cast<const mpv_event_property*>(event.data);
            if (event.reply_userdata == kEofObservation && property->format == MPV_FORMAT_FLAG) {
                eofReached_ = *static_cast<const int*>(property->data) != 0;
                if (eofReached_) RaiseEndOfMedia();
            }
            break;
        }
        default:
            break;
    }
}

void MediaPlayer::RaiseEndOfMedia() {
    if (!running_ || endRaised_ || !IsOpen()) return;
    running_ = false;
    if (HasPicture() && !sourceShown_) {
        // A frame this thread was too slow to take is counted as dropped but still held:
        // rendered now. A frame libmpv dropped for being late may be the last one itself; then
        // the last frame is fetched the way a paused seek does.
        RenderPicture(true);
        if (DoubleProperty("frame-drop-count", 0.0) > dropsAtRun_) {
            Seek(FrameClock::PositionOfFrame(clock_.FrameCount() - 1));
        }
    }
    endRaised_ = true;
    emit EndOfMedia();
}

bool MediaPlayer::WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    const bool outer = !waiting_;
    waiting_ = true;
    bool met = true;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) {
            met = false;
            break;
        }
        {
            const std::lock_guard<std::mutex> lock(wakeup_.mutex);
            wakeup_.pending = false;
        }
        // The video output waits for its frame to be rendered before it goes on.
        RenderPicture();
        DrainEvents();
        // The window goes on handling its events (an Open or Close among them ends a load).
        QCoreApplication::processEvents();
        if (done()) break;
        // Work of other threads (the index's) is seen at the next turn.
        std::unique_lock<std::mutex> lock(wakeup_.mutex);
        wakeup_.raised.wait_for(lock, kWaitTurn, [this] { return wakeup_.pending; });
    }
    if (outer) waiting_ = false;
    if (met) RenderPicture();
    return met;
}

}  // namespace vantrel
