// Paused frame access of our own, on FFmpeg's libraries: any frame of a video, exactly, at the
// cost of decoding from the key picture before it; the next frame at the cost of one decode;
// recently shown frames from a bounded cache of scaled pictures.
#pragma once

#include <QImage>
#include <QSize>
#include <atomic>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "av/av_glue.h"
#include "video/frame_index.h"
#include "video/picture_pool.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace vantrel {

class FrameSource {
  public:
    // Pictures kept for stepping back and re-visits: at most this many bytes.
    static constexpr size_t kCacheLimit = size_t{128} << 20;

    FrameSource();
    ~FrameSource();
    FrameSource(const FrameSource&) = delete;
    FrameSource& operator=(const FrameSource&) = delete;

    // Opens the video stream of a file and indexes all of its pictures (reads the whole file
    // once, without decoding). False when there is no video stream this source can decode, or
    // when `cancel` was raised. May run on any thread; everything else runs on one thread.
    bool Open(const std::string& path, QSize pictureSize, const std::atomic<bool>& cancel);

    // Opening in two steps, for an index built in the background: the decoder alone, then
    // indexes given as they grow (SetIndex), and the first frame once an index serves it.
    // `counted` hears of ContainerFrameCount (-1 when the container lists no frames) once the
    // container is read, before the streams are probed, which decodes pictures.
    bool OpenDecoder(const std::string& path, QSize pictureSize,
                     const std::function<void(int64_t)>& counted = {});
    // The frame count that the container's own index gives (MP4 and MOV that are not
    // fragmented; AVI with an index), -1 when it has none that lists every frame.
    int64_t ContainerFrameCount() const { return containerFrames_; }
    // What BuildFrameIndex needs to know of the opened file.
    struct IndexPlan {
        std::string path;
        std::string format;  // the demuxer's name
        int codec = 0;       // AVCodecID of the video
        int stream = -1;
        std::string cacheFolder;  // where indexes are kept between runs; "" for nowhere
        // The whole index from the container's own, when it lists every frame.
        std::shared_ptr<const FrameIndex> listed;
        // The one kept in the cache folder, when it has been read already.
        std::shared_ptr<const FrameIndex> kept;
        // While raised, the scan stands still, leaving the cores to a seek of the player.
        const std::atomic<bool>* yield = nullptr;
    };
    IndexPlan Plan() const { return plan_; }
    // The index to use from the next frame asked for on; any thread may give it.
    void SetIndex(std::shared_ptr<const FrameIndex> index);
    // Decodes frame 0, which teaches the decoder the stream's headers; false when it fails.
    bool ShowFirstFrame();

    // Of the index in use.
    int64_t FrameCount() const { return index_ ? index_->FrameCount() : 0; }

    // The picture of `frame`, stretched to the picture size; null when the decoder fails or
    // the index does not serve the frame yet.
    QImage Frame(int64_t frame);
    // A picture near `frame` that costs about as much as a key picture's decode, for scrubbing:
    // `frame` itself when it is cached or a few decodes on, otherwise the nearest of the cached
    // frames and the key frame before it. `shown` receives its frame.
    QImage QuickFrame(int64_t frame, int64_t& shown);

    // Decodes the group of pictures up to `frame` into the cache, so that the steps from it are
    // instant: -1 from the cache, +1 one decode on. Stops early when `cancel` is raised. May run
    // on another thread, while nothing else calls the source.
    void Prefetch(int64_t frame, const std::atomic<bool>& cancel);

    void SetPictureSize(QSize size);
    size_t CacheBytes() const { return cacheBytes_; }

  private:
    void TakeIndex();
    // `frame`, keeping up to `behind` frames before it that are decoded on the way.
    QImage Decode(int64_t frame, int64_t behind);
    bool DecodesOnTo(int64_t frame, const FrameIndex::Start& start) const;
    bool Cancelled() const { return cancel_ != nullptr && *cancel_; }
    bool Seek(const FrameIndex::Start& start);
    bool PositionDemuxer(size_t picture, int attempt);
    int64_t ReadPicture(AVPacket* packet);
    bool DecodeUntil(int64_t frame, int64_t keepFrom);
    QImage Scale(const AVFrame* frame);
    int64_t CacheCapacity() const;
    QImage NewPicture();
    void Keep(int64_t frame, const QImage& picture);
    const QImage* Cached(int64_t frame);

    av::InputPtr format_;
    av::CodecPtr codec_;
    SwsContext* scaler_ = nullptr;
    int scalerColours_ = -1;
    AVPacket* packet_ = nullptr;
    AVFrame* decoded_ = nullptr;
    int stream_ = -1;
    bool byteSeek_ = false;
    QSize size_;
    std::shared_ptr<const FrameIndex> index_;
    std::mutex givenMutex_;
    std::shared_ptr<const FrameIndex> given_;  // by SetIndex, not taken yet
    IndexPlan plan_;
    int64_t containerFrames_ = -1;

    // Decoder progress: the next picture the demuxer hands out, the key picture whose frame
    // must come out before any other counts, and the frame that came out last.
    int64_t nextPicture_ = -1;
    int64_t awaitedKey_ = -1;
    int64_t lastFrame_ = -1;
    bool draining_ = false;

    PicturePool pool_;
    std::unordered_map<int64_t, std::pair<QImage, std::list<int64_t>::iterator>> cache_;
    std::list<int64_t> recent_;  // most recently used first
    // Read by another thread for measurements while a prefetch runs.
    std::atomic<size_t> cacheBytes_{0};
    const std::atomic<bool>* cancel_ = nullptr;  // of the prefetch running
};

// Reads the pictures of a file's video stream for its frame index: MPEG-1/2 elementary, program
// and transport streams by our own walk over them, the rest by the demuxer; or takes the
// container's own index (kListed) or the pictures kept in the plan's cache folder, where a whole
// index is kept for the next time. Hands each new index to `publish` (the first as soon as it
// serves a frame, then about every 300 ms, and the whole one at the end) with the part of the
// file read.
// Waits while `raised` is, up to a second, unless `cancel` is raised: work in the background
// stands still while the player seeks.
void WaitWhileRaised(const std::atomic<bool>& raised, const std::atomic<bool>& cancel);

enum class IndexBuilt { kNo, kScanned, kCached, kListed };
IndexBuilt BuildFrameIndex(
    const FrameSource::IndexPlan& plan, const std::atomic<bool>& cancel,
    const std::function<void(std::shared_ptr<const FrameIndex>, double read)>& publish);

}  // namespace vantrel
