// Opening and closing media, and the frame index built in the background meanwhile.
#include <mpv/client.h>

#include <QMetaObject>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <future>
#include <iterator>
#include <string_view>
#include <thread>

#include "files/file.h"
#include "files/timecode.h"
#include "video/index_cache.h"
#include "video/media_player.h"
#include "video/mpv_options.h"

namespace vantrel {

namespace {

using std::chrono::milliseconds;

constexpr milliseconds kLoadTimeout(15000);
constexpr milliseconds kStopTimeout(3000);
// The part of a file that its index must have read before the frames found so far give a
// better estimate of the count than the length libmpv reads from the container.
constexpr double kExtrapolateAfter = 0.05;
constexpr milliseconds kHoldStep(5);
// Raw streams, whose frames libmpv finds by guessed times: their seeks wait for the index.
constexpr std::string_view kRawStreamFormats[] = {"mpegvideo", "h264", "hevc", "m4v"};
// A file this small is indexed in moments: its index starts while libmpv loads it, and the
// open waits for its count (the container's, a kept index's or the whole index's) up to a while.
constexpr int64_t kSmallFile = int64_t{64} << 20;
constexpr milliseconds kSmallFileIndexWait(1000);
// A seek waits for an index expected to reach its frame within this time.
constexpr double kAwaitIndexSeconds = 0.1;

}  // namespace

bool MediaPlayer::WaitForLoad() {
    seekPending_ = true;
    seekIssued_ = std::chrono::steady_clock::now();
    bool settled =
        WaitUntil([this] { return openAbandoned_ || fileEnded_ || (fileLoaded_ && !seekPending_); },
                  kLoadTimeout);
    return settled && !fileEnded_ && !openAbandoned_;
}

MediaKind MediaPlayer::Open(const std::string& name) {
    // Asked for by an event that a wait of this player runs: it ends the load under way.
    if (waiting_) {
        openAbandoned_ = openAbandoned_ || opening_;
        return kMediaFailed;
    }
    Close();
    // An existing local file only, named from the root: libmpv takes other names for URLs.
    std::string path;
    if (CheckLocalFile(name, &path) != LocalFileKind::Regular) return kMediaFailed;
    if (!IsAvailable()) return kMediaFailed;
    entry_ = -1;
    fileStarted_ = fileLoaded_ = fileEnded_ = eofReached_ = false;
    std::error_code error;
    const auto bytes = std::filesystem::file_size(path, error);
    smallFile_ = !error && bytes < static_cast<uintmax_t>(kSmallFile);
    SetProperty("pause", "yes");
    loading_ = true;
    Command({"loadfile", path.c_str()});
    // A small file is indexed meanwhile, so that its count is exact from the start (a count its
    // container lists, or an index kept from before, is read at once; otherwise the scan runs
    // beside the load); a long file's index starts once libmpv has shown the first frame, so as
    // not to slow that down.
    if (smallFile_) StartIndex(path);
    loadIssued_ = true;
    opening_ = true;
    openAbandoned_ = false;
    const bool loaded = WaitForLoad();
    opening_ = false;
    loading_ = false;
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
    rawStream_ = std::find(std::begin(kRawStreamFormats), std::end(kRawStreamFormats), format) !=
                 std::end(kRawStreamFormats);
    bool indexed = std::find(std::begin(kExactIndexFormats), std::end(kExactIndexFormats),
                             format) != std::end(kExactIndexFormats);
    SetProperty("hr-seek-demuxer-offset", indexed ? "0" : kDemuxerOffset);
    double fps = DoubleProperty("container-fps", 0.0);
    if (!(fps > 0.0)) fps = DoubleProperty("estimated-vf-fps", kFramesPerSecond);
    clock_ = FrameClock(DoubleProperty("time-pos", 0.0), fps, 0);
    durationFrames_ = (DoubleProperty("duration", 0.0) - clock_.Origin()) * fps;
    // The shape the picture is shown in, its sample aspect applied.
    displaySize_ = QSize(static_cast<int>(DoubleProperty("video-params/dw", 0.0)),
                         static_cast<int>(DoubleProperty("video-params/dh", 0.0)));
    kind_ = kMediaVideo;
    seekFrame_ = 0;
    // After the questions to libmpv above, which the index's work would slow down.
    if (!smallFile_) StartIndex(path);
    const auto counted = [this](bool known) {
        const std::lock_guard<std::mutex> lock(indexing_.mutex);
        return indexing_.failed || (known && indexing_.knownFrames > 0) ||
               (indexing_.index && indexing_.index->Complete());
    };
    if (smallFile_) WaitUntil([&] { return counted(true); }, kSmallFileIndexWait);
    if (indexWait_.count() > 0) WaitUntil([&] { return counted(false); }, indexWait_);
    // The frame count: the index's, else the container's, else an estimate until the index is
    // done.
    AdoptIndex();
    return kind_;
}

void MediaPlayer::StartIndex(const std::string& path) {
    cancelIndex_ = false;
    indexStarted_ = std::chrono::steady_clock::now();
    indexThread_ = std::async(std::launch::async, [this, path, size = picture_.size(),
                                                   cacheFolder = indexCacheFolder_] {
        const auto notify = [this] {
            QMetaObject::invokeMethod(this, &MediaPlayer::AdoptIndex, Qt::QueuedConnection);
        };
        const auto know = [&](int64_t frames) {
            {
                const std::lock_guard<std::mutex> lock(indexing_.mutex);
                indexing_.knownFrames = frames;
            }
            notify();
        };
        // An index kept from before gives the count at once, with no decoder to open.
        std::shared_ptr<const FrameIndex> kept = LoadCachedIndex(cacheFolder, path);
        if (kept) know(kept->FrameCount());
        auto source = std::make_unique<FrameSource>();
        const auto counted = [&](int64_t frames) {
            if (!kept) know(frames);
            // Probing the streams and the first frame decode pictures: not while libmpv seeks,
            // nor while it loads a file whose count is known by now (the open waits for the
            // scan of any other small file).
            if (kept || frames >= 0) WaitWhileRaised(loading_, cancelIndex_);
            WaitWhileRaised(seeking_, cancelIndex_);
        };
        if (!source->OpenDecoder(path, size, counted)) {
            {
                const std::lock_guard<std::mutex> lock(indexing_.mutex);
                indexing_.failed = true;
            }
            notify();
            return;
        }
        FrameSource::IndexPlan plan = source->Plan();
        plan.cacheFolder = cacheFolder;
        plan.kept = std::move(kept);
        plan.yield = &seeking_;
        const IndexBuilt built = BuildFrameIndex(
            plan, cancelIndex_, [&](std::shared_ptr<const FrameIndex> index, double read) {
                // The source goes to the window's thread once it has shown its first frame.
                if (source) {
                    WaitWhileRaised(seeking_, cancelIndex_);
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
        {
            const std::lock_guard<std::mutex> lock(indexing_.mutex);
            indexing_.failed = built == IndexBuilt::kNo || source != nullptr;
        }
        notify();
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
        knownFrames_ = indexing_.knownFrames;
        indexFailed_ = indexing_.failed;
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
    // A seek waiting for the index: shown from it once it has the frame, else libmpv's.
    const int64_t awaited = awaitedFrame_;
    if (awaited < 0 || (!Serves(awaited) && AwaitsIndex(awaited))) return;
    awaitedFrame_ = -1;
    if (Serves(awaited) && ShowFromSource(source_->Frame(awaited), awaited)) return;
    sourceShown_ = false;
    SeekSeconds(clock_.SeekTime(awaited));
}

bool MediaPlayer::Serves(int64_t frame) const {
    return source_ && index_ && (indexComplete_ || frame < indexedFrames_);
}

bool MediaPlayer::AwaitsIndex(int64_t frame) const {
    if (indexFailed_) return false;
    if (rawStream_) return true;
    if (indexedFrames_ == 0) return smallFile_;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - indexStarted_).count();
    const double framesPerSecond = static_cast<double>(indexedFrames_) / std::max(seconds, 1e-3);
    return static_cast<double>(frame - indexedFrames_) / framesPerSecond < kAwaitIndexSeconds;
}

int64_t MediaPlayer::EstimatedFrames() const {
    if (indexComplete_) return index_->FrameCount();
    if (knownFrames_ > 0) return knownFrames_;
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
    seeking_ = false;
    awaitedFrame_ = -1;
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
        indexing_.knownFrames = -1;
        indexing_.failed = false;
    }
    source_.reset();
    index_.reset();
    indexComplete_ = false;
    indexedFrames_ = 0;
    knownFrames_ = -1;
    indexRead_ = 0.0;
    indexFailed_ = false;
}

void MediaPlayer::ClearPicture() {
    // Not QImage::fill: a copy of the image held elsewhere would make it detach from the
    // buffer that libmpv renders into.
    std::memset(pixels_.get(), 0, stride_ * static_cast<size_t>(picture_.height()));
}

}  // namespace vantrel
