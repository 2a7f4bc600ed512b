// Opening and closing media, and the frame index built in the background meanwhile.
#include <mpv/client.h>

#include <QMetaObject>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <future>
#include <iterator>
#include <thread>

#include "video/media_player.h"
#include "video/mpv_options.h"

namespace vantrel {

namespace {

using std::chrono::milliseconds;

constexpr double kDefaultFramesPerSecond = 30000.0 / 1001.0;
constexpr milliseconds kLoadTimeout(15000);
constexpr milliseconds kStopTimeout(3000);
// The part of a file that its index must have read before the frames found so far give a
// better estimate of the count than the length libmpv reads from the container.
constexpr double kExtrapolateAfter = 0.05;
constexpr milliseconds kHoldStep(5);

}  // namespace

bool MediaPlayer::WaitForLoad() {
    seekPending_ = true;
    seekIssued_ = std::chrono::steady_clock::now();
    bool settled =
        WaitUntil([this] { return openAbandoned_ || fileEnded_ || (fileLoaded_ && !seekPending_); },
                  kLoadTimeout);
    return settled && !fileEnded_ && !openAbandoned_;
}

MediaKind MediaPlayer::Open(const std::string& path) {
    // Asked for by an event that a wait of this player runs: it ends the load under way.
    if (waiting_) {
        openAbandoned_ = openAbandoned_ || opening_;
        return kMediaFailed;
    }
    Close();
    if (!IsAvailable()) return kMediaFailed;
    entry_ = -1;
    fileStarted_ = fileLoaded_ = fileEnded_ = eofReached_ = false;
    // Our own frame source indexes the file while libmpv loads it.
    StartIndex(path);
    SetProperty("pause", "yes");
    Command({"loadfile", path.c_str()});
    loadIssued_ = true;
    opening_ = true;
    openAbandoned_ = false;
    const bool loaded = WaitForLoad();
    opening_ = false;
    if (!loaded) {
        Close();
        return kMediaFailed;
    }
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
    durationFrames_ = (DoubleProperty("duration", 0.0) - clock_.Origin()) * fps;
    kind_ = kMediaVideo;
    seekFrame_ = 0;
    if (indexWait_.count() > 0) {
        WaitUntil(
            [this] {
                const std::lock_guard<std::mutex> lock(indexing_.mutex);
                return indexing_.failed || (indexing_.index && indexing_.index->Complete());
            },
            indexWait_);
    }
    // The frame count: the index's, else the container's, else an estimate until it is done.
    AdoptIndex();
    return kind_;
}

void MediaPlayer::StartIndex(const std::string& path) {
    cancelIndex_ = false;
    indexThread_ = std::async(std::launch::async, [this, path, size = picture_.size()] {
        const auto notify = [this] {
            QMetaObject::invokeMethod(this, &MediaPlayer::AdoptIndex, Qt::QueuedConnection);
        };
        auto source = std::make_unique<FrameSource>();
        if (!source->OpenDecoder(path, size)) {
            const std::lock_guard<std::mutex> lock(indexing_.mutex);
            indexing_.failed = true;
            return;
        }
        {
            const std::lock_guard<std::mutex> lock(indexing_.mutex);
            indexing_.containerFrames = source->ContainerFrameCount();
        }
        notify();
        const FrameSource::IndexPlan plan = source->Plan();
        const bool built = BuildFrameIndex(
            plan, cancelIndex_, [&](std::shared_ptr<const FrameIndex> index, double read) {
                // The source goes to the window's thread once it has shown its first frame.
                if (source) {
                    source->SetIndex(index);
                    if (source->ShowFirstFrame()) {
                        const std::lock_guard<std::mutex> lock(indexing_.mutex);
                        indexing_.source = std::move(source);
                    }
                }
                {
                    const std::lock_guard<std::mutex> lock(indexing_.mutex);
                    indexing_.index = index;
                    indexing_.read = read;
                }
                notify();
                while (!cancelIndex_ && !index->Complete() && index->ServedFrames() >= indexHold_) {
                    std::this_thread::sleep_for(kHoldStep);
                }
            });
        const std::lock_guard<std::mutex> lock(indexing_.mutex);
        indexing_.failed = !built || source != nullptr;
    });
}

// Takes what the index's thread has handed over: the frame source, a grown index, the frame
// count of the container.
void MediaPlayer::AdoptIndex() {
    std::shared_ptr<const FrameIndex> index;
    double read = 0.0;
    {
        const std::lock_guard<std::mutex> lock(indexing_.mutex);
        if (!source_ && indexing_.source) {
            source_ = std::move(indexing_.source);
            source_->SetPictureSize(picture_.size());
        }
        index = indexing_.index;
        read = indexing_.read;
        containerFrames_ = indexing_.containerFrames;
    }
    if (!HasPicture()) return;
    if (source_ && index && index != index_) {
        source_->SetIndex(index);
        index_ = index;
        indexRead_ = read;
    }
    indexComplete_ = source_ && index_ && index_->Complete();
    indexedFrames_ = source_ && index_ ? index_->ServedFrames() : 0;
    clock_ = FrameClock(clock_.Origin(), clock_.FramesPerSecond(), EstimatedFrames());
    emit IndexChanged();
}

int64_t MediaPlayer::EstimatedFrames() const {
    if (indexComplete_) return index_->FrameCount();
    if (containerFrames_ > 0) return containerFrames_;
    double estimate = durationFrames_;
    if (index_ && indexRead_ >= kExtrapolateAfter) {
        estimate = static_cast<double>(index_->FrameCount()) / indexRead_;
    }
    return std::max<int64_t>(std::llround(estimate), std::max<int64_t>(indexedFrames_, 1));
}

void MediaPlayer::Close() {
    if (waiting_) {
        openAbandoned_ = openAbandoned_ || opening_;
        return;
    }
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

FrameSource* MediaPlayer::Source() {
    return source_.get();
}

void MediaPlayer::DropIndex() {
    SettlePrefetch(-1);
    cancelIndex_ = true;
    if (indexThread_.valid()) indexThread_.get();
    {
        const std::lock_guard<std::mutex> lock(indexing_.mutex);
        indexing_.source.reset();
        indexing_.index.reset();
        indexing_.read = 0.0;
        indexing_.containerFrames = -1;
        indexing_.failed = false;
    }
    source_.reset();
    index_.reset();
    indexComplete_ = false;
    indexedFrames_ = 0;
    containerFrames_ = -1;
    indexRead_ = 0.0;
}

void MediaPlayer::ClearPicture() {
    // Not QImage::fill: a copy of the image held elsewhere would make it detach from the
    // buffer that libmpv renders into.
    std::memset(pixels_.get(), 0, stride_ * static_cast<size_t>(picture_.height()));
}

}  // namespace vantrel
