// Opening and closing media, and finding out how many frames a video has.
#include <mpv/client.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <iterator>

#include "files/file.h"
#include "mpeg/elementary_pictures.h"
#include "video/media_player.h"
#include "video/mpv_options.h"

namespace vantrel {

namespace {

using std::chrono::milliseconds;

constexpr double kDefaultFramesPerSecond = 30000.0 / 1001.0;
constexpr milliseconds kLoadTimeout(15000);
constexpr milliseconds kStopTimeout(3000);
constexpr milliseconds kTailTimeout(20000);
// While counting frames at the end of a file the player runs muted, untimed and this fast.
constexpr const char* kTailSpeed = "16";
// Frames played before the estimated end to find the real one: containers estimate their
// duration from timestamps that can miss the last frames.
constexpr int64_t kTailMarginFrames = 60;

}  // namespace

bool MediaPlayer::WaitForRestart(milliseconds timeout) {
    return WaitUntil([this] { return !seekPending_ || fileEnded_; }, timeout) && !fileEnded_;
}

bool MediaPlayer::WaitForLoad() {
    seekPending_ = true;
    seekIssued_ = std::chrono::steady_clock::now();
    bool settled =
        WaitUntil([this] { return fileEnded_ || (fileLoaded_ && !seekPending_); }, kLoadTimeout);
    return settled && !fileEnded_;
}

MediaKind MediaPlayer::Open(const std::string& name) {
    Close();
    // An existing local file only, named from the root: libmpv takes other names for URLs.
    std::string path;
    if (CheckLocalFile(name, &path) != LocalFileKind::Regular) return kMediaFailed;
    if (!IsAvailable()) return kMediaFailed;
    entry_ = -1;
    fileStarted_ = fileLoaded_ = fileEnded_ = eofReached_ = false;
    // Our own frame source indexes the file while libmpv loads it.
    cancelIndex_ = false;
    indexing_ = std::async(std::launch::async, [this, path, size = picture_.size()] {
        auto source = std::make_unique<FrameSource>();
        if (!source->Open(path, size, cancelIndex_)) source.reset();
        // Taken over at once if Open has stopped waiting for it.
        QMetaObject::invokeMethod(this, &MediaPlayer::Source, Qt::QueuedConnection);
        return source;
    });
    SetProperty("pause", "yes");
    Command({"loadfile", path.c_str()});
    loadIssued_ = true;
    if (!WaitForLoad()) {
        Close();
        return kMediaFailed;
    }
    if (indexing_.wait_for(indexWait_) == std::future_status::ready) source_ = indexing_.get();
    std::string vid = StringProperty("vid");
    std::string aid = StringProperty("aid");
    bool video = !vid.empty() && vid != "no";
    bool audio = !aid.empty() && aid != "no";
    if (!video && !audio) {
        Close();
        return kMediaFailed;
    }
    if (!video) {
        DropIndex();
        kind_ = kMediaAudioOnly;
        return kind_;
    }
    std::string format = StringProperty("file-format");
    bool indexed = std::find(std::begin(kExactIndexFormats), std::end(kExactIndexFormats),
                             format) != std::end(kExactIndexFormats);
    SetProperty("hr-seek-demuxer-offset", indexed ? "0" : kDemuxerOffset);
    double fps = DoubleProperty("container-fps", 0.0);
    if (!(fps > 0.0)) fps = DoubleProperty("estimated-vf-fps", kDefaultFramesPerSecond);
    clock_ = FrameClock(DoubleProperty("time-pos", 0.0), fps, 0);
    // The index counts every picture; without it libmpv has to play the end of the file.
    int64_t frames =
        source_ ? source_->FrameCount() : MeasureFrameCount(path, DoubleProperty("duration", 0.0));
    clock_ = FrameClock(clock_.Origin(), fps, std::max<int64_t>(frames, 0));
    kind_ = kMediaVideo;
    seekFrame_ = 0;
    return kind_;
}

int64_t MediaPlayer::MeasureFrameCount(const std::string& path, double duration) {
    // Raw streams carry no duration; libmpv guesses one from the bit rate.
    if (StringProperty("file-format") == "mpegvideo") {
        int64_t frames = CountElementaryStreamFrames(path);
        if (frames > 0) return frames;
    }
    int64_t estimate = std::llround((duration - clock_.Origin()) * clock_.FramesPerSecond());
    int64_t from = std::max<int64_t>(0, estimate - std::max(kTailMarginFrames, estimate / 50));
    int64_t frames = FramesUpToEnd(from);
    SeekSeconds(clock_.SeekTime(0));
    WaitForRestart(kSeekTimeout);
    return frames > 0 ? frames : estimate;
}

// Plays from `fromFrame` to the end and reads the time of the last frame, which playback
// (unlike a seek past the end) reports correctly in every container.
int64_t MediaPlayer::FramesUpToEnd(int64_t fromFrame) {
    SeekSeconds(clock_.SeekTime(fromFrame));
    if (!WaitForRestart(kSeekTimeout)) return -1;
    eofReached_ = FlagProperty("eof-reached");
    SetProperty("mute", "yes");
    SetProperty("untimed", "yes");
    SetProperty("speed", kTailSpeed);
    SetProperty("pause", "no");
    bool ended = WaitUntil([this] { return eofReached_ || fileEnded_; }, kTailTimeout);
    SetProperty("pause", "yes");
    SetProperty("speed", "1");
    SetProperty("untimed", "no");
    SetProperty("mute", "no");
    if (!ended || fileEnded_) return -1;
    double last = DoubleProperty("time-pos", -1.0);
    if (last < 0.0) return -1;
    return std::llround((last - clock_.Origin()) * clock_.FramesPerSecond()) + 1;
}

void MediaPlayer::Close() {
    if (handle_ != nullptr && loadIssued_ && !fileEnded_) {
        Command({"stop"});
        WaitUntil([this] { return fileEnded_; }, kStopTimeout);
    }
    kind_ = kMediaFailed;
    DropIndex();
    sourceShown_ = false;
    shown_ = QImage();
    clock_ = FrameClock();
    running_ = endRaised_ = seekPending_ = seekQueued_ = false;
    fileStarted_ = fileLoaded_ = fileEnded_ = eofReached_ = false;
    entry_ = -1;
    seekFrame_ = -1;
    loadIssued_ = false;
    ClearPicture();
}

// The frame source, once its index is done; a video that opened without it counts its frames
// from then on.
FrameSource* MediaPlayer::Source() {
    if (!source_ && indexing_.valid() &&
        indexing_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) {
        source_ = indexing_.get();
        if (source_ && HasPicture()) {
            clock_ = FrameClock(clock_.Origin(), clock_.FramesPerSecond(), source_->FrameCount());
        }
    }
    return source_.get();
}

void MediaPlayer::DropIndex() {
    SettlePrefetch(-1);
    cancelIndex_ = true;
    if (indexing_.valid()) indexing_.get();
    source_.reset();
}

void MediaPlayer::ClearPicture() {
    // Not QImage::fill: a copy of the image held elsewhere would make it detach from the
    // buffer that libmpv renders into.
    std::memset(pixels_.get(), 0, stride_ * static_cast<size_t>(picture_.height()));
}

}  // namespace vantrel
