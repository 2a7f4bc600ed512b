#include "media/shot_changes.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <array>
#include <cstdlib>
#include <numeric>
#include <thread>

#include "av/av_glue.h"
#include "media/media_input.h"

namespace vantrel {

namespace {

// The size each picture is compared at: enough to tell shots apart, little to compare.
constexpr int kWidth = 64;
constexpr int kHeight = 36;
constexpr int kPixels = kWidth * kHeight;
constexpr int kBins = 32;
// A mean difference of this many grey levels counts as a whole new picture.
constexpr int kWholeDifference = 96;
// The frames before a change that its score is weighed against, and by how much it must
// stand out from their mean.
constexpr int kRecentFrames = 8;
constexpr int kStandOut = 2;

struct ScalerFreer {
    void operator()(SwsContext* sws) const { sws_freeContext(sws); }
};

using Grey = std::array<uint8_t, kPixels>;

// How unlike two pictures are, from both how far each pixel moved (a cut between pictures of
// the same tones) and how the tones' spread moved (which motion leaves nearly alone).
uint8_t Score(const Grey& a, const Grey& b) {
    int difference = 0;
    std::array<int, kBins> bins{};
    for (int i = 0; i < kPixels; ++i) {
        difference += std::abs(a[i] - b[i]);
        ++bins[a[i] * kBins / 256];
        --bins[b[i] * kBins / 256];
    }
    int moved = 0;
    for (int n : bins) moved += std::abs(n);
    const double pixels =
        std::min(1.0, static_cast<double>(difference) / kPixels / kWholeDifference);
    const double tones = static_cast<double>(moved) / (2 * kPixels);
    return static_cast<uint8_t>(std::lround(255 * (pixels + tones) / 2));
}

// Whether the picture's first plane holds its 8-bit grey levels, one byte a pixel, as in the
// YUV layouts decoders give.
bool HasGreyPlane(int format) {
    const AVPixFmtDescriptor* layout = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
    if (layout == nullptr || (layout->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL |
                                               AV_PIX_FMT_FLAG_BITSTREAM)) != 0) {
        return false;
    }
    const AVComponentDescriptor& grey = layout->comp[0];
    return layout->nb_components >= 1 && grey.plane == 0 && grey.step == 1 && grey.depth == 8 &&
           grey.shift == 0 && grey.offset == 0;
}

// The mean of each cell of the grey plane, from every other pixel of every other row: the
// whole picture is looked at for the cost of a quarter of it, where a scaler would read it all.
void ShrinkGreyPlane(const AVFrame& frame, Grey& out) {
    const int width = frame.width;
    const int height = frame.height;
    for (int y = 0; y < kHeight; ++y) {
        const int top = y * height / kHeight;
        const int bottom = std::max(top + 1, (y + 1) * height / kHeight);
        for (int x = 0; x < kWidth; ++x) {
            const int left = x * width / kWidth;
            const int right = std::max(left + 1, (x + 1) * width / kWidth);
            int sum = 0;
            int count = 0;
            for (int row = top; row < bottom; row += 2) {
                const uint8_t* line =
                    frame.data[0] + static_cast<ptrdiff_t>(row) * frame.linesize[0];
                for (int column = left; column < right; column += 2) sum += line[column];
                count += (right - left + 1) / 2;
            }
            out[y * kWidth + x] = static_cast<uint8_t>(sum / count);
        }
    }
}

}  // namespace

void ShotScores::Append(uint8_t score) {
    std::lock_guard lock(mutex_);
    scores_.push_back(score);
}

void ShotScores::Finish() {
    std::lock_guard lock(mutex_);
    complete_ = true;
}

bool ShotScores::Complete() const {
    std::lock_guard lock(mutex_);
    return complete_;
}

size_t ShotScores::Frames() const {
    std::lock_guard lock(mutex_);
    return scores_.size();
}

std::vector<uint8_t> ShotScores::Snapshot() const {
    std::lock_guard lock(mutex_);
    return scores_;
}

MediaRead ScoreShotChanges(const std::string& path, ShotScores& scores, const JobControl& control) {
    std::string reason;
    const av::InputPtr format = av::OpenLocalInput(path, {}, reason);
    if (!format) return MediaRead::kFailed;
    const int index = av::KeepOnlyStream(format.get(), AVMEDIA_TYPE_VIDEO, 0);
    if (index < 0) return MediaRead::kFailed;
    // Only a small picture is wanted: decoded without the smoothing filter that hides blocks
    // from the eye. Not at a reduced size: pictures decoded so drift from their references
    // until the next key picture, whose jump back looks like a cut.
    av::CodecPtr codec =
        av::OpenDecoder(format->streams[index], [](AVCodecContext& c, const AVCodec&) {
            c.skip_loop_filter = AVDISCARD_ALL;
            c.flags2 |= AV_CODEC_FLAG2_FAST;
            c.thread_count = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
        });
    if (!codec) return MediaRead::kFailed;

    av::PacketPtr packet(av_packet_alloc());
    av::FramePtr frame(av_frame_alloc());
    if (!packet || !frame) return MediaRead::kFailed;
    std::unique_ptr<SwsContext, ScalerFreer> scaler;
    Grey previous{};
    Grey current{};
    bool first = true;
    auto drain = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            if (HasGreyPlane(frame->format)) {
                ShrinkGreyPlane(*frame, current);
            } else {
                scaler.reset(sws_getCachedContext(scaler.release(), frame->width, frame->height,
                                                  static_cast<AVPixelFormat>(frame->format), kWidth,
                                                  kHeight, AV_PIX_FMT_GRAY8, SWS_AREA, nullptr,
                                                  nullptr, nullptr));
                uint8_t* planes[] = {current.data()};
                const int strides[] = {kWidth};
                // A picture that cannot be scaled keeps the one before, and scores 0.
                if (scaler) {
                    sws_scale(scaler.get(), frame->data, frame->linesize, 0, frame->height, planes,
                              strides);
                }
            }
            scores.Append(first ? 0 : Score(previous, current));
            first = false;
            previous = current;
            av_frame_unref(frame.get());
        }
    };
    if (!media::DecodeStream(format.get(), codec.get(), packet.get(), index, drain,
                             [&control] { return control.Proceed(); }))
        return MediaRead::kCancelled;
    scores.Finish();
    return MediaRead::kDone;
}

std::vector<int32_t> ShotChangesFrom(std::span<const uint8_t> scores, int threshold) {
    threshold = std::clamp(threshold, kLowestShotThreshold, kHighestShotThreshold);
    std::vector<int32_t> changes;
    const auto n = static_cast<int64_t>(scores.size());
    for (int64_t k = 1; k < n; ++k) {
        const int score = scores[k];
        if (score * 100 < threshold * 255) continue;
        if (score <= scores[k - 1] || (k + 1 < n && score < scores[k + 1])) continue;
        const int64_t from = std::max<int64_t>(1, k - kRecentFrames);
        const int recent = std::accumulate(scores.begin() + from, scores.begin() + k, 0);
        if (k > from && score * (k - from) < kStandOut * recent) continue;
        changes.push_back(static_cast<int32_t>(k));
    }
    return changes;
}

}  // namespace vantrel
