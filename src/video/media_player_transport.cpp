// Run, pause, position and seeking, and the small helpers over libmpv's commands and properties.
#include <mpv/client.h>

#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <future>
#include <system_error>
#include <utility>

#include "video/media_player.h"

namespace vantrel {

namespace {

// How long a seek waits for an index that does not reach its frame.
constexpr std::chrono::milliseconds kIndexAwait(300);
constexpr std::chrono::milliseconds kRawStreamAwait(10000);

std::string SecondsText(double seconds) {
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
}

}  // namespace

void MediaPlayer::Run() {
    if (!IsOpen()) return;
    SettlePrefetch(-1);
    running_ = true;
    endRaised_ = false;
    dropsAtRun_ = DoubleProperty("frame-drop-count", 0.0);
    // At the end already: the end is reported again, so that the view pauses on the last frame.
    bool atEnd = sourceShown_ ? seekFrame_ >= clock_.FrameCount() - 1 : FlagProperty("eof-reached");
    if (atEnd) {
        QMetaObject::invokeMethod(this, &MediaPlayer::RaiseEndOfMedia, Qt::QueuedConnection);
        return;
    }
    // A seek waiting for the index is libmpv's to make now.
    if (sourceShown_ || std::exchange(awaitedFrame_, -1) >= 0) {
        HandOverToPlayback();
    } else {
        seekFrame_ = -1;
    }
    SetProperty("pause", "no");
}

void MediaPlayer::SetSpeed(double speed) {
    // Pitch correction is libmpv's default; asked for all the same, as a user's own
    // configuration is never read.
    SetProperty("audio-pitch-correction", "yes");
    SetProperty("speed", SecondsText(speed).c_str());
}

double MediaPlayer::Speed() const {
    return DoubleProperty("speed", 1.0);
}

// libmpv still stands where playback last paused: it seeks to the frame on screen, which stays
// there (and is the position) until libmpv has reached it.
void MediaPlayer::HandOverToPlayback() {
    SeekSeconds(clock_.SeekTime(seekFrame_));
}

void MediaPlayer::Pause() {
    if (!IsOpen()) return;
    running_ = false;
    SetProperty("pause", "yes");
    if (HasPicture() && Source() != nullptr) Prefetch(clock_.FrameOfPosition(Position()));
}

void MediaPlayer::Prefetch(int64_t frame) {
    SettlePrefetch(frame);
    cancelPrefetch_ = false;
    prefetchFrame_ = frame;
    // Only a head start: without a thread to be had, the step decodes when it comes.
    try {
        prefetch_ = std::async(std::launch::async, [source = source_.get(), frame, this] {
            source->Prefetch(frame, cancelPrefetch_);
        });
    } catch (const std::system_error&) {
        prefetch_ = {};
    }
}

void MediaPlayer::SettlePrefetch(int64_t frame) {
    if (!prefetch_.valid()) return;
    if (frame < 0 || std::abs(frame - prefetchFrame_) > 1) cancelPrefetch_ = true;
    prefetch_.get();
}

int64_t MediaPlayer::Position() const {
    if (!IsOpen()) return 0;
    double seconds = std::max(0.0, DoubleProperty("time-pos", 0.0));
    if (!HasPicture()) return std::llround(seconds * kMediaUnitsPerSecond);
    if (seekFrame_ >= 0) return FrameClock::PositionOfFrame(seekFrame_);
    return FrameClock::PositionOfFrame(clock_.FrameAt(seconds));
}

int64_t MediaPlayer::Duration() const {
    if (!IsOpen()) return 0;
    if (HasPicture()) return clock_.Duration();
    return std::llround(std::max(0.0, DoubleProperty("duration", 0.0)) * kMediaUnitsPerSecond);
}

void MediaPlayer::Seek(int64_t position) {
    if (!IsOpen()) return;
    endRaised_ = false;
    if (HasPicture()) {
        seekFrame_ = clock_.FrameOfPosition(position);
        SettlePrefetch(seekFrame_);
        awaitedFrame_ = -1;
        if (!running_ && Serves(seekFrame_) &&
            ShowFromSource(source_->Frame(seekFrame_), seekFrame_)) {
            return;
        }
        if (!running_ && AwaitsIndex(seekFrame_)) {
            // Should the index stall, libmpv seeks after all.
            awaitedFrame_ = seekFrame_;
            QTimer::singleShot(rawStream_ ? kRawStreamAwait : kIndexAwait, this,
                               [this, generation = ++awaitGeneration_] {
                                   if (generation != awaitGeneration_ || awaitedFrame_ < 0) return;
                                   sourceShown_ = false;
                                   SeekSeconds(clock_.SeekTime(std::exchange(awaitedFrame_, -1)));
                               });
            return;
        }
        // libmpv's picture is the one that will show the frame.
        sourceShown_ = false;
        SeekSeconds(clock_.SeekTime(seekFrame_));
    } else {
        SeekSeconds(static_cast<double>(std::max<int64_t>(position, 0)) / kMediaUnitsPerSecond);
    }
}

void MediaPlayer::Scrub(int64_t position) {
    if (!IsOpen() || !HasPicture() || running_ || Source() == nullptr) {
        Seek(position);
        return;
    }
    endRaised_ = false;
    SettlePrefetch(-1);
    int64_t shown = 0;
    QImage picture = source_->QuickFrame(clock_.FrameOfPosition(position), shown);
    if (!ShowFromSource(picture, shown)) Seek(position);
}

bool MediaPlayer::ShowFromSource(const QImage& picture, int64_t frame) {
    if (picture.isNull()) return false;
    shown_ = picture;
    seekFrame_ = frame;
    sourceShown_ = true;
    emit PictureChanged();
    return true;
}

// One seek at a time: libmpv's restart event does not say which seek it ends, so a newer
// target waits for the restart of the seek in flight (and replaces any target waiting already).
void MediaPlayer::SeekSeconds(double seconds) {
    if (seekPending_ && std::chrono::steady_clock::now() - seekIssued_ < kSeekTimeout) {
        seekQueued_ = true;
        queuedSeconds_ = seconds;
        return;
    }
    IssueSeek(seconds);
}

void MediaPlayer::IssueSeek(double seconds) {
    std::string target = SecondsText(std::max(0.0, seconds));
    seekPending_ = seeking_ = true;
    seekIssued_ = std::chrono::steady_clock::now();
    Command({"seek", target.c_str(), "absolute+exact"});
}

void MediaPlayer::Command(std::initializer_list<const char*> args) {
    if (handle_ == nullptr) return;
    const char* argv[8] = {};
    std::copy_n(args.begin(), std::min<size_t>(args.size(), 7), argv);
    mpv_command(handle_, argv);
}

std::pair<int64_t, int64_t> MediaPlayer::DroppedFrames() const {
    return {std::llround(DoubleProperty("frame-drop-count", 0.0)),
            std::llround(DoubleProperty("decoder-frame-drop-count", 0.0))};
}

double MediaPlayer::DoubleProperty(const char* name, double fallback) const {
    double value = fallback;
    if (handle_ == nullptr || mpv_get_property(handle_, name, MPV_FORMAT_DOUBLE, &value) < 0) {
        return fallback;
    }
    return value;
}

std::string MediaPlayer::StringProperty(const char* name) const {
    if (handle_ == nullptr) return {};
    char* text = mpv_get_property_string(handle_, name);
    if (text == nullptr) return {};
    std::string value(text);
    mpv_free(text);
    return value;
}

bool MediaPlayer::FlagProperty(const char* name) const {
    int value = 0;
    if (handle_ == nullptr || mpv_get_property(handle_, name, MPV_FORMAT_FLAG, &value) < 0) {
        return false;
    }
    return value != 0;
}

void MediaPlayer::SetProperty(const char* name, const char* value) {
    if (handle_ != nullptr) mpv_set_property_string(handle_, name, value);
}

}  // namespace vantrel
