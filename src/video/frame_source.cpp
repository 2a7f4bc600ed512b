#include "video/frame_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <thread>
#include <utility>

#include "av/av_glue.h"
#include "files/file.h"
#include "mpeg/picture_scanner.h"
#include "mpeg/stream_pictures.h"
#include "video/container_index.h"
#include "video/index_cache.h"

namespace vantrel {

namespace {

// Frames that scrubbing decodes on to reach the frame asked for instead of showing a frame near
// it: about 30 ms of decoding at 1080p.
constexpr int64_t kScrubRun = 8;

// Demuxers without an index of their own, whose packets are found again by byte offset:
// MPEG program and transport streams and raw video streams.
constexpr std::string_view kByteSeekFormats[] = {"mpeg", "mpegts", "mpegvideo",
                                                 "m4v",  "h264",   "hevc"};

// Seeks tried in turn to bring the demuxer to a key picture: straight at it, from a little
// before it, and from the start of the file, which always works.
constexpr int kSeekAttempts = 3;
constexpr int64_t kEarlierBytes = 1 << 20;

constexpr int64_t kEndOfFile = -2;

constexpr int kLargestSd = 720 * 576;
constexpr int kMostDecoderThreads = 16;

bool ReordersByCoding(AVCodecID codec) {
    return codec == AV_CODEC_ID_MPEG1VIDEO || codec == AV_CODEC_ID_MPEG2VIDEO ||
           codec == AV_CODEC_ID_MPEG4;
}

uint64_t Digest(const AVPacket* packet) {
    return DigestOf(packet->data, static_cast<size_t>(packet->size));
}

}  // namespace

FrameSource::FrameSource() : packet_(av_packet_alloc()), decoded_(av_frame_alloc()) {}

FrameSource::~FrameSource() {
    sws_freeContext(scaler_);
    av_packet_free(&packet_);
    av_frame_free(&decoded_);
}

bool FrameSource::Open(const std::string& path, QSize pictureSize,
                       const std::atomic<bool>& cancel) {
    if (!OpenDecoder(path, pictureSize)) return false;
    std::shared_ptr<const FrameIndex> whole;
    const IndexBuilt built = BuildFrameIndex(plan_, cancel, [&](auto index, double) {
        if (index->Complete()) whole = std::move(index);
    });
    if (built == IndexBuilt::kNo || !whole) return false;
    SetIndex(std::move(whole));
    return ShowFirstFrame();
}

// The pool starts making pictures only after the first, so as not to slow the open down.
bool FrameSource::ShowFirstFrame() {
    if (Frame(0).isNull()) return false;
    pool_.Reset(size_, CacheCapacity());
    return true;
}

bool FrameSource::OpenDecoder(const std::string& path, QSize pictureSize,
                              const std::function<void(int64_t)>& counted) {
    if (packet_ == nullptr || decoded_ == nullptr || pictureSize.isEmpty()) return false;
    size_ = pictureSize;
    pool_.Reset(size_, 0);
    std::string reason;
    format_ = av::OpenLocalInput(path, {.largeRawPackets = true, .probeStreams = false}, reason);
    if (!format_) return false;
    // Known before the streams are probed, which decodes pictures.
    const int first = av::NthStream(format_.get(), AVMEDIA_TYPE_VIDEO, 0);
    std::shared_ptr<const FrameIndex> listed = ContainerFrameIndex(format_.get(), first);
    containerFrames_ = listed ? listed->FrameCount() : -1;
    if (counted) counted(containerFrames_);
    if (avformat_find_stream_info(format_.get(), nullptr) < 0) return false;
    stream_ = av::BestVideoStream(format_.get());
    if (stream_ < 0) return false;
    AVStream* video = format_->streams[stream_];
    av::DiscardAllBut(format_.get(), stream_);
    // Frame threads keep the cores busy during a seek's run of decodes in HD, twice as many as
    // cores because each waits for the rows of its references; an SD picture decodes faster
    // than threads hand it over, above all on a busy machine.
    codec_ = av::OpenDecoder(video, [](AVCodecContext& codec, const AVCodec&) {
        const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        codec.thread_count =
            codec.width * codec.height > kLargestSd ? std::min(2 * cores, kMostDecoderThreads) : 1;
    });
    if (!codec_) return false;
    const std::string_view format(format_->iformat->name);
    byteSeek_ = std::find(std::begin(kByteSeekFormats), std::end(kByteSeekFormats), format) !=
                std::end(kByteSeekFormats);
    plan_ = {};
    plan_.path = path;
    plan_.format = format;
    plan_.codec = video->codecpar->codec_id;
    plan_.stream = stream_;
    if (stream_ == first) plan_.listed = std::move(listed);
    if (!plan_.listed) containerFrames_ = -1;
    return true;
}

void FrameSource::SetIndex(std::shared_ptr<const FrameIndex> index) {
    const std::lock_guard<std::mutex> lock(givenMutex_);
    given_ = std::move(index);
}

// Pictures keep their numbers as the index grows, so decoding goes on across the change.
void FrameSource::TakeIndex() {
    const std::lock_guard<std::mutex> lock(givenMutex_);
    if (given_) index_ = std::move(given_);
}

int64_t FrameSource::CacheCapacity() const {
    return static_cast<int64_t>(kCacheLimit / (static_cast<size_t>(size_.width()) * 4 *
                                               static_cast<size_t>(size_.height())));
}

void FrameSource::SetPictureSize(QSize size) {
    if (size.isEmpty() || size == size_) return;
    size_ = size;
    pool_.Reset(size_, CacheCapacity());
    cache_.clear();
    recent_.clear();
    cacheBytes_ = 0;
}

QImage FrameSource::Frame(int64_t frame) {
    // A seek scales only its target: each frame kept on the way would cost a scale (as much as
    // the decodes of a short seek in SD) and the decode of a picture nothing refers to. A step
    // back that misses the cache decodes the group once, keeping up to half the cache.
    const bool steppingBack = cache_.count(frame + 1) != 0;
    return Decode(frame, steppingBack ? CacheCapacity() / 2 : 0);
}

void FrameSource::Prefetch(int64_t frame, const std::atomic<bool>& cancel) {
    cancel_ = &cancel;
    Decode(frame, CacheCapacity() / 2);
    cancel_ = nullptr;
}

QImage FrameSource::Decode(int64_t frame, int64_t behind) {
    TakeIndex();
    if (format_ == nullptr || FrameCount() == 0) return {};
    if (frame >= index_->ServedFrames() && !index_->Complete()) return {};
    frame = std::clamp<int64_t>(frame, 0, FrameCount() - 1);
    if (const QImage* cached = Cached(frame)) return *cached;
    const FrameIndex::Start start = index_->StartFor(frame);
    const bool onTheWay = DecodesOnTo(frame, start);
    int64_t keepFrom = std::max(frame - behind, onTheWay ? lastFrame_ + 1 : start.frame);
    if ((onTheWay || Seek(start)) && DecodeUntil(frame, keepFrom)) return *Cached(frame);
    // The demuxer lost its place: start over from the key picture.
    if (!Cancelled() && Seek(start) && DecodeUntil(frame, keepFrom)) return *Cached(frame);
    return {};
}

// Decoding on is cheaper than a seek while no later key picture leads to the frame.
bool FrameSource::DecodesOnTo(int64_t frame, const FrameIndex::Start& start) const {
    if (draining_) return false;
    if (awaitedKey_ >= 0) return awaitedKey_ == static_cast<int64_t>(start.picture);
    return lastFrame_ >= 0 && lastFrame_ < frame && start.frame <= lastFrame_ + 1;
}

QImage FrameSource::QuickFrame(int64_t frame, int64_t& shown) {
    TakeIndex();
    shown = frame;
    if (format_ == nullptr || FrameCount() == 0) return {};
    if (frame >= index_->ServedFrames() && !index_->Complete()) return {};
    frame = std::clamp<int64_t>(frame, 0, FrameCount() - 1);
    shown = frame;
    if (const QImage* cached = Cached(frame)) return *cached;
    const FrameIndex::Start start = index_->StartFor(frame);
    if (DecodesOnTo(frame, start) && frame - std::max(lastFrame_, start.frame) <= kScrubRun) {
        return Frame(frame);
    }
    // Otherwise the nearest of the cached frames and the key frame before it.
    shown = start.frame;
    for (const auto& [cachedFrame, entry] : cache_) {
        if (std::abs(cachedFrame - frame) < std::abs(shown - frame)) shown = cachedFrame;
    }
    return Frame(shown);
}

bool FrameSource::Seek(const FrameIndex::Start& start) {
    avcodec_flush_buffers(codec_.get());
    draining_ = false;
    lastFrame_ = -1;
    awaitedKey_ = static_cast<int64_t>(start.picture);
    for (int attempt = 0; attempt < kSeekAttempts; ++attempt) {
        if (!PositionDemuxer(start.picture, attempt)) continue;
        packet_->pts = packet_->dts = awaitedKey_;
        packet_->flags &= ~AV_PKT_FLAG_DISCARD;
        int sent = avcodec_send_packet(codec_.get(), packet_);
        av_packet_unref(packet_);
        if (sent < 0) return false;
        nextPicture_ = awaitedKey_ + 1;
        return true;
    }
    return false;
}

// Leaves the key picture's packet in packet_.
bool FrameSource::PositionDemuxer(size_t picture, int attempt) {
    const std::vector<CodedPicture>& pictures = index_->Pictures();
    const CodedPicture& key = pictures[picture];
    int sought = -1;
    if (attempt == kSeekAttempts - 1) {
        sought = byteSeek_
                     ? av_seek_frame(format_.get(), -1, 0, AVSEEK_FLAG_BYTE)
                     : avformat_seek_file(format_.get(), -1, INT64_MIN, INT64_MIN, INT64_MIN, 0);
    } else if (byteSeek_) {
        int64_t pos = attempt == 0 ? key.pos : std::max<int64_t>(0, key.pos - kEarlierBytes);
        sought = av_seek_frame(format_.get(), -1, pos, AVSEEK_FLAG_BYTE);
    } else {
        // The demuxer's index leads to the key picture at or before the time.
        int64_t time = key.pts == CodedPicture::kNoTime ? 0 : key.pts;
        if (attempt == 1)
            time -= av_rescale_q(1, AVRational{1, 1}, format_->streams[stream_]->time_base);
        sought = av_seek_frame(format_.get(), stream_, time, AVSEEK_FLAG_BACKWARD);
    }
    if (sought < 0) return false;
    // Until a known picture comes, the key picture is the one expected.
    nextPicture_ = static_cast<int64_t>(picture);
    for (;;) {
        int64_t found = ReadPicture(packet_);
        if (found == static_cast<int64_t>(picture)) return true;
        av_packet_unref(packet_);
        if (found == kEndOfFile || found > static_cast<int64_t>(picture)) return false;
        if (found >= 0) nextPicture_ = found + 1;
    }
}

// The next packet of the video stream and its picture (-1 when the index does not know it).
int64_t FrameSource::ReadPicture(AVPacket* packet) {
    for (;;) {
        if (av_read_frame(format_.get(), packet) < 0) return kEndOfFile;
        if (packet->stream_index == stream_) break;
        av_packet_unref(packet);
    }
    // Past the end of an index still growing nothing is known.
    if (nextPicture_ >= static_cast<int64_t>(index_->Pictures().size())) return -1;
    if (index_->FoundBy() == FrameIndex::Lookup::kPosition) {
        return index_->PictureAt(packet->pos, packet->size);
    }
    return index_->PictureOf(Digest(packet), packet->size,
                             nextPicture_ >= 0 ? static_cast<size_t>(nextPicture_) : 0);
}

// Decodes on until `frame` comes out, keeping the frames from `keepFrom` on.
bool FrameSource::DecodeUntil(int64_t frame, int64_t keepFrom) {
    const auto pictures = static_cast<int64_t>(index_->Pictures().size());
    for (;;) {
        int received = avcodec_receive_frame(codec_.get(), decoded_);
        if (received == 0) {
            // The packet's time carried its picture's number through the decoder's reordering.
            const int64_t picture = decoded_->pts;
            const bool known = picture >= 0 && picture < pictures;
            if (awaitedKey_ >= 0 && picture == awaitedKey_) awaitedKey_ = -1;
            const int64_t shows = known ? index_->FrameOf(static_cast<size_t>(picture)) : -1;
            // Frames before the key picture's own come from references the decoder never had.
            if (awaitedKey_ < 0 && shows >= 0) {
                lastFrame_ = shows;
                if (shows >= keepFrom && shows <= frame) Keep(shows, Scale(decoded_));
            }
            av_frame_unref(decoded_);
            if (awaitedKey_ < 0 && shows == frame) return Cached(frame) != nullptr;
            if (awaitedKey_ < 0 && shows > frame) return false;
            continue;
        }
        if (received != AVERROR(EAGAIN) || draining_ || Cancelled()) return false;
        int64_t picture = ReadPicture(packet_);
        if (picture == kEndOfFile) {
            draining_ = true;
            avcodec_send_packet(codec_.get(), nullptr);
            continue;
        }
        if (picture < 0 && nextPicture_ >= pictures) {
            // Past the end of an index still growing: decoded, so that the decoder hands out
            // the frames before, but not counted.
            picture = nextPicture_;
        } else if (picture < 0) {
            av_packet_unref(packet_);
            continue;
        }
        if (picture != nextPicture_) {
            av_packet_unref(packet_);
            nextPicture_ = -1;
            return false;
        }
        packet_->pts = packet_->dts = picture;
        // The index says which frames are shown: the decoder hands out every one.
        packet_->flags &= ~AV_PKT_FLAG_DISCARD;
        // Pictures that nothing refers to need no decoding before the frames to keep (a second
        // field goes with the frame of its first).
        int64_t shows = picture < pictures ? index_->FrameOf(static_cast<size_t>(picture)) : frame;
        if (shows < 0 && picture > 0) shows = index_->FrameOf(static_cast<size_t>(picture - 1));
        codec_->skip_frame = shows < keepFrom ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
        int sent = avcodec_send_packet(codec_.get(), packet_);
        av_packet_unref(packet_);
        if (sent < 0 && sent != AVERROR_INVALIDDATA) return false;
        ++nextPicture_;
    }
}

QImage FrameSource::Scale(const AVFrame* frame) {
    const auto format = static_cast<AVPixelFormat>(frame->format);
    SwsContext* scaler = sws_getCachedContext(scaler_, frame->width, frame->height, format,
                                              size_.width(), size_.height(), AV_PIX_FMT_RGB0,
                                              SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (scaler == nullptr) return {};
    // The colours of the picture's own matrix and range; unmarked HD video is BT.709. Setting
    // them rebuilds the scaler's tables, so only for a new scaler or new colours.
    int matrix = frame->height >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
    if (frame->colorspace == AVCOL_SPC_BT709) matrix = SWS_CS_ITU709;
    if (frame->colorspace == AVCOL_SPC_BT470BG || frame->colorspace == AVCOL_SPC_SMPTE170M) {
        matrix = SWS_CS_ITU601;
    }
    const int colours = matrix * 2 + (frame->color_range == AVCOL_RANGE_JPEG ? 1 : 0);
    if (scaler != scaler_ || colours != scalerColours_) {
        sws_setColorspaceDetails(scaler, sws_getCoefficients(matrix), colours & 1,
                                 sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
        scalerColours_ = colours;
    }
    scaler_ = scaler;
    QImage picture = NewPicture();
    if (picture.isNull()) return {};
    uint8_t* target[4] = {picture.bits(), nullptr, nullptr, nullptr};
    int stride[4] = {static_cast<int>(picture.bytesPerLine()), 0, 0, 0};
    sws_scale(scaler_, frame->data, frame->linesize, 0, frame->height, target, stride);
    return picture;
}

// Once the cache is full, the picture used least recently makes room for the new one, and its
// memory serves again unless a copy of it is still on screen; until then the pool's pictures
// spare the page faults of fresh memory.
QImage FrameSource::NewPicture() {
    const size_t bytes =
        static_cast<size_t>(size_.width()) * 4 * static_cast<size_t>(size_.height());
    while (cacheBytes_ + bytes > kCacheLimit && !recent_.empty()) {
        auto oldest = cache_.find(recent_.back());
        QImage freed = std::move(oldest->second.first);
        cacheBytes_ -= static_cast<size_t>(freed.sizeInBytes());
        cache_.erase(oldest);
        recent_.pop_back();
        if (freed.size() == size_ && freed.isDetached()) return freed;
    }
    return pool_.Take();
}

void FrameSource::Keep(int64_t frame, const QImage& picture) {
    if (picture.isNull()) return;
    const auto bytes = static_cast<size_t>(picture.sizeInBytes());
    auto found = cache_.find(frame);
    if (found != cache_.end()) {
        found->second.first = picture;
        return;
    }
    recent_.push_front(frame);
    cache_.emplace(frame, std::make_pair(picture, recent_.begin()));
    cacheBytes_ += bytes;
    while (cacheBytes_ > kCacheLimit && recent_.size() > 1) {
        auto oldest = cache_.find(recent_.back());
        cacheBytes_ -= static_cast<size_t>(oldest->second.first.sizeInBytes());
        cache_.erase(oldest);
        recent_.pop_back();
    }
}

const QImage* FrameSource::Cached(int64_t frame) {
    auto found = cache_.find(frame);
    if (found == cache_.end()) return nullptr;
    recent_.splice(recent_.begin(), recent_, found->second.second);
    return &found->second.first;
}

namespace {

constexpr auto kYieldStep = std::chrono::milliseconds(1);
// A seek that takes longer than this no longer holds the work up.
constexpr auto kLongestYield = std::chrono::seconds(1);

}  // namespace

void WaitWhileRaised(const std::atomic<bool>& raised, const std::atomic<bool>& cancel) {
    const auto until = std::chrono::steady_clock::now() + kLongestYield;
    while (raised && !cancel && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(kYieldStep);
    }
}

namespace {

constexpr auto kPublishEvery = std::chrono::milliseconds(300);
constexpr int kPublishCostShare = 10;
constexpr int kPacketsBetweenOffers = 256;

void Yield(const FrameSource::IndexPlan& plan, const std::atomic<bool>& cancel) {
    if (plan.yield != nullptr) WaitWhileRaised(*plan.yield, cancel);
}

// Gathers the pictures of a file and hands on indexes of them as they grow.
class IndexPublisher {
  public:
    using Publish = std::function<void(std::shared_ptr<const FrameIndex>, double)>;
    IndexPublisher(bool reorderByCoding, const Publish& publish)
        : reorder_(reorderByCoding), publish_(publish) {}

    std::vector<CodedPicture>& Pictures() { return pictures_; }

    // The first index that serves a frame at once, the next ones at intervals, longer as the
    // index grows, so that making them takes a small part of the scan.
    void Offer(double read) {
        const auto now = std::chrono::steady_clock::now();
        if (served_ && now < next_) return;
        auto index = std::make_shared<const FrameIndex>(pictures_, reorder_, false);
        if (index->ServedFrames() == 0) return;
        served_ = true;
        const auto made = std::chrono::steady_clock::now();
        next_ = made + kPublishEvery + (made - now) * kPublishCostShare;
        publish_(std::move(index), read);
    }
    void Finish() {
        publish_(std::make_shared<const FrameIndex>(std::move(pictures_), reorder_), 1.0);
    }

  private:
    std::vector<CodedPicture> pictures_;
    bool reorder_;
    const Publish& publish_;
    bool served_ = false;
    std::chrono::steady_clock::time_point next_;
};

// A packet of the walk as the index knows it; `openField` as ReadPictureCoding keeps it.
CodedPicture FromScanned(const ScannedPacket& packet, bool& openField) {
    CodedPicture picture;
    picture.pos = packet.pos;
    picture.size = static_cast<int>(packet.size);
    picture.digest = packet.digest;
    picture.key = packet.firstCoding == kIntraPicture;
    if (packet.pictures == 1 && packet.fields == 1) {
        openField = !openField;
        if (!openField) {
            picture.coding = PictureCoding::kSecondField;
            return picture;
        }
    } else {
        openField = false;
    }
    picture.coding = packet.firstCoding == kBidirectionalPicture ? PictureCoding::kBidirectional
                                                                 : PictureCoding::kAnchor;
    return picture;
}

ScanEnd WalkMpeg(const FrameSource::IndexPlan& plan, const std::atomic<bool>& cancel,
                 const IndexPublisher::Publish& publish) {
    MpegContainer container = MpegContainer::Elementary;
    if (plan.format == "mpeg") container = MpegContainer::Program;
    if (plan.format == "mpegts") container = MpegContainer::Transport;
    File file;
    if (!file.Open(plan.path, File::Mode::Read)) return ScanEnd::Failed;
    const double length = static_cast<double>(std::max<int64_t>(1, file.Length()));
    IndexPublisher publisher(true, publish);
    bool openField = false;
    int64_t before = 0;  // position of the packet before
    const ScanEnd end = ScanMpegVideo(
        file, container, cancel, [&](std::vector<ScannedPacket>& packets, int64_t read) {
            for (const ScannedPacket& packet : packets) {
                publisher.Pictures().push_back(FromScanned(packet, openField));
                // Read from where the packet before begins, the demuxer's cutting has ended that
                // packet by the time this one starts, and hands this one out whole.
                publisher.Pictures().back().pos = std::exchange(before, packet.pos);
            }
            packets.clear();
            publisher.Offer(static_cast<double>(read) / length);
            Yield(plan, cancel);
        });
    if (end != ScanEnd::Completed || publisher.Pictures().empty()) {
        return end == ScanEnd::Cancelled ? end : ScanEnd::Failed;
    }
    publisher.Finish();
    return ScanEnd::Completed;
}

bool ReadWithDemuxer(const FrameSource::IndexPlan& plan, const std::atomic<bool>& cancel,
                     const IndexPublisher::Publish& publish) {
    std::string reason;
    const av::InputPtr input = av::OpenLocalInput(plan.path, {.largeRawPackets = true}, reason);
    if (!input) return false;
    AVFormatContext* format = input.get();
    if (plan.stream < 0 || plan.stream >= static_cast<int>(format->nb_streams)) {
        return false;
    }
    av::DiscardAllBut(format, plan.stream);
    const auto codecId = static_cast<AVCodecID>(plan.codec);
    const bool mpeg4 = codecId == AV_CODEC_ID_MPEG4;
    const double length = static_cast<double>(std::max<int64_t>(1, avio_size(format->pb)));
    IndexPublisher publisher(ReordersByCoding(codecId), publish);
    AVPacket* packet = av_packet_alloc();
    if (packet == nullptr) return false;
    bool openField = false;
    int64_t pos = 0;
    int count = 0;
    while (av_read_frame(format, packet) >= 0) {
        if (cancel) break;
        if (packet->stream_index == plan.stream) {
            CodedPicture picture;
            // Pictures that begin inside a program stream packet have no offset of their own.
            if (packet->pos >= 0) pos = packet->pos;
            picture.pos = pos;
            picture.size = packet->size;
            picture.digest = Digest(packet);
            picture.pts = packet->pts == AV_NOPTS_VALUE ? CodedPicture::kNoTime : packet->pts;
            picture.key = (packet->flags & AV_PKT_FLAG_KEY) != 0;
            picture.shown = (packet->flags & AV_PKT_FLAG_DISCARD) == 0;
            if (ReordersByCoding(codecId)) {
                picture.coding = ReadPictureCoding(mpeg4, packet->data,
                                                   static_cast<size_t>(packet->size), openField);
            }
            publisher.Pictures().push_back(picture);
            if (++count % kPacketsBetweenOffers == 0) {
                publisher.Offer(static_cast<double>(pos) / length);
                Yield(plan, cancel);
            }
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (cancel) return false;
    publisher.Finish();
    return true;
}

}  // namespace

IndexBuilt BuildFrameIndex(
    const FrameSource::IndexPlan& plan, const std::atomic<bool>& cancel,
    const std::function<void(std::shared_ptr<const FrameIndex>, double read)>& publish) {
    if (plan.listed) {
        if (cancel) return IndexBuilt::kNo;
        publish(plan.listed, 1.0);
        return IndexBuilt::kListed;
    }
    if (auto kept = plan.kept ? plan.kept : LoadCachedIndex(plan.cacheFolder, plan.path)) {
        publish(std::move(kept), 1.0);
        return IndexBuilt::kCached;
    }
    // The whole index is kept as it is handed on.
    const IndexPublisher::Publish keep = [&](std::shared_ptr<const FrameIndex> index, double read) {
        if (index->Complete()) StoreCachedIndex(plan.cacheFolder, plan.path, *index);
        publish(std::move(index), read);
    };
    const bool walkable =
        plan.format == "mpeg" || plan.format == "mpegts" || plan.format == "mpegvideo";
    if (walkable &&
        (plan.codec == AV_CODEC_ID_MPEG1VIDEO || plan.codec == AV_CODEC_ID_MPEG2VIDEO)) {
        const ScanEnd end = WalkMpeg(plan, cancel, keep);
        if (end != ScanEnd::Failed) {
            return end == ScanEnd::Completed ? IndexBuilt::kScanned : IndexBuilt::kNo;
        }
    }
    return ReadWithDemuxer(plan, cancel, keep) ? IndexBuilt::kScanned : IndexBuilt::kNo;
}

}  // namespace vantrel
