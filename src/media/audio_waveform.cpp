#include "media/audio_waveform.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>
#include <span>
#include <vector>

#include "av/av_glue.h"
#include "media/media_input.h"
#include "media/voice_activity.h"

namespace vantrel {

namespace {

using av::CodecPtr;
using av::FramePtr;
using av::PacketPtr;

struct ResamplerFreer {
    void operator()(SwrContext* swr) const { swr_free(&swr); }
};

// Pairs go to the peaks about twice a second of sound, not once per decoded frame.
constexpr size_t kBatch = AudioPeaks::kPairsPerSecond / 2;

// Cuts mono samples into stretches of 1/480 s, each stretch ending at the sample that the
// exact rate gives, so that the peaks do not drift over hours.
class PeakCutter {
  public:
    PeakCutter(int rate, AudioPeaks& peaks) : rate_(rate), peaks_(peaks) { NextBoundary(); }

    // Stretches of silence before the first sample (the sound starts after the picture).
    void Silence(int64_t pairs) {
        for (int64_t i = 0; i < pairs; ++i) Push({0, 0});
        Flush();
    }
    // Samples to leave out before the first one kept (the sound starts before the picture).
    void Skip(int64_t samples) { skip_ = samples; }

    void Take(const float* samples, int count) {
        for (int i = 0; i < count; ++i) {
            if (skip_ > 0) {
                --skip_;
                continue;
            }
            low_ = std::min(low_, samples[i]);
            high_ = std::max(high_, samples[i]);
            if (++taken_ == boundary_) {
                Push({Scaled(low_), Scaled(high_)});
                low_ = 1;
                high_ = -1;
                NextBoundary();
            }
        }
        if (batch_.size() >= kBatch) Flush();
    }

    // The last, shorter stretch too.
    void End() {
        if (low_ <= high_) Push({Scaled(low_), Scaled(high_)});
        Flush();
    }

  private:
    static int8_t Scaled(float sample) {
        return static_cast<int8_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 127.0f));
    }
    void NextBoundary() {
        ++pairs_;
        boundary_ =
            (pairs_ * rate_ + AudioPeaks::kPairsPerSecond - 1) / AudioPeaks::kPairsPerSecond;
    }
    void Push(PeakPair pair) { batch_.push_back(pair); }
    void Flush() {
        if (!batch_.empty()) peaks_.Append(batch_);
        batch_.clear();
    }

    const int64_t rate_;
    AudioPeaks& peaks_;
    std::vector<PeakPair> batch_;
    int64_t skip_ = 0;
    int64_t taken_ = 0;
    int64_t pairs_ = 0;
    int64_t boundary_ = 0;
    float low_ = 1;
    float high_ = -1;
};

// The mixed-down sound resampled to the speech measures' rate and handed on, placed as the
// peaks are.
class SpeechFeed {
  public:
    SpeechFeed(int rate, const SoundSink& take) : take_(take) {
        SwrContext* raw = nullptr;
        AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
        if (swr_alloc_set_opts2(&raw, &mono, AV_SAMPLE_FMT_FLT, kSpeechRate, &mono,
                                AV_SAMPLE_FMT_FLT, rate, 0, nullptr) >= 0) {
            swr_.reset(raw);
        }
        if (swr_ && swr_init(raw) < 0) swr_.reset();
    }
    bool Ready() const { return swr_ != nullptr; }

    void Silence(double seconds) {
        out_.assign(static_cast<size_t>(std::lround(seconds * kSpeechRate)), 0.0f);
        take_(out_);
    }
    void Skip(double seconds) { skip_ = std::lround(seconds * kSpeechRate); }

    // `count` null: what the resampler still holds.
    void Take(const float* samples, int count) {
        out_.resize(static_cast<size_t>(swr_get_out_samples(swr_.get(), count)) + 16);
        uint8_t* out[] = {reinterpret_cast<uint8_t*>(out_.data())};
        const uint8_t* in[] = {reinterpret_cast<const uint8_t*>(samples)};
        const int made = swr_convert(swr_.get(), out, static_cast<int>(out_.size()),
                                     samples ? in : nullptr, count);
        if (made <= 0) return;
        std::span<const float> kept(out_.data(), static_cast<size_t>(made));
        const auto skipped = static_cast<size_t>(std::min<int64_t>(skip_, made));
        skip_ -= static_cast<int64_t>(skipped);
        take_(kept.subspan(skipped));
    }
    void End() { Take(nullptr, 0); }

  private:
    std::unique_ptr<SwrContext, ResamplerFreer> swr_;
    const SoundSink& take_;
    std::vector<float> out_;
    int64_t skip_ = 0;
};

// What one decoding of a track feeds: its peaks, its sound at the speech rate, or both.
struct SoundOutputs {
    AudioPeaks* peaks = nullptr;
    const SoundSink* speech = nullptr;
    const OnMediaOpened* opened = nullptr;
    const std::function<void(double done)>* progress = nullptr;
};

MediaRead ReadSound(const std::string& path, int track, const SoundOutputs& outputs,
                    const JobControl& control) {
    std::string reason;
    const av::InputPtr format = av::OpenLocalInput(path, {}, reason);
    if (!format) return MediaRead::kFailed;
    if (outputs.opened && *outputs.opened)
        (*outputs.opened)(media::SecondsPerFrameOf(format.get()));
    const double pictureStart = media::PictureStartOf(format.get());
    const int index = av::KeepOnlyStream(format.get(), AVMEDIA_TYPE_AUDIO, track);
    if (index < 0) return MediaRead::kFailed;
    const AVStream* stream = format->streams[index];
    CodecPtr codec = av::OpenDecoder(stream);
    if (!codec) return MediaRead::kFailed;
    const double duration =
        format->duration > 0 ? static_cast<double>(format->duration) / AV_TIME_BASE : 0;
    if (outputs.peaks && duration > 0) outputs.peaks->Reserve(duration);

    // Mixed down to one channel at the decoder's own rate: each stretch's peaks are those of
    // the samples themselves, with nothing lost to a low-pass filter.
    AVChannelLayout in{};
    if (codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC || codec->ch_layout.nb_channels <= 0) {
        av_channel_layout_default(&in, std::max(1, codec->ch_layout.nb_channels));
    } else {
        av_channel_layout_copy(&in, &codec->ch_layout);
    }
    AVChannelLayout mono = AV_CHANNEL_LAYOUT_MONO;
    SwrContext* raw = nullptr;
    const int rate = codec->sample_rate;
    const int made = swr_alloc_set_opts2(&raw, &mono, AV_SAMPLE_FMT_FLT, rate, &in,
                                         codec->sample_fmt, rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    std::unique_ptr<SwrContext, ResamplerFreer> swr(raw);
    if (made < 0 || rate <= 0 || swr_init(raw) < 0) return MediaRead::kFailed;

    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (!packet || !frame) return MediaRead::kFailed;
    std::optional<PeakCutter> cutter;
    if (outputs.peaks) cutter.emplace(rate, *outputs.peaks);
    std::optional<SpeechFeed> speechFeed;
    if (outputs.speech) {
        speechFeed.emplace(rate, *outputs.speech);
        if (!speechFeed->Ready()) return MediaRead::kFailed;
    }
    std::vector<float> mixed;
    bool placed = false;
    auto drain = [&] {
        while (avcodec_receive_frame(codec.get(), frame.get()) == 0) {
            if (!placed) {
                placed = true;
                const int64_t pts = frame->best_effort_timestamp;
                const double start =
                    pts == AV_NOPTS_VALUE ? pictureStart : pts * av_q2d(stream->time_base);
                const double late = start - pictureStart;
                if (cutter && late > 0)
                    cutter->Silence(std::lround(late * AudioPeaks::kPairsPerSecond));
                if (cutter && late < 0) cutter->Skip(std::lround(-late * rate));
                if (speechFeed && late > 0) speechFeed->Silence(late);
                if (speechFeed && late < 0) speechFeed->Skip(-late);
            }
            mixed.resize(static_cast<size_t>(swr_get_out_samples(raw, frame->nb_samples)));
            uint8_t* out[] = {reinterpret_cast<uint8_t*>(mixed.data())};
            const int count =
                swr_convert(raw, out, static_cast<int>(mixed.size()),
                            const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
            if (count > 0 && cutter) cutter->Take(mixed.data(), count);
            if (count > 0 && speechFeed) speechFeed->Take(mixed.data(), count);
            const int64_t pts = frame->best_effort_timestamp;
            if (outputs.progress && *outputs.progress && duration > 0 && pts != AV_NOPTS_VALUE)
                (*outputs.progress)(
                    std::clamp(pts * av_q2d(stream->time_base) / duration, 0.0, 1.0));
            av_frame_unref(frame.get());
        }
    };
    if (!media::DecodeStream(format.get(), codec.get(), packet.get(), index, drain,
                             [&control] { return control.Proceed(); }))
        return MediaRead::kCancelled;
    if (cutter) cutter->End();
    if (speechFeed) speechFeed->End();
    if (outputs.peaks) outputs.peaks->Finish();
    return MediaRead::kDone;
}

}  // namespace

MediaRead ReadAudioPeaks(const std::string& path, int track, AudioPeaks& peaks,
                         const JobControl& control, const OnMediaOpened& opened,
                         SpeechActivity* speech) {
    std::optional<VoiceActivityDetector> detector;
    if (speech) detector.emplace(*speech);
    const SoundSink toDetector = [&](std::span<const float> samples) { detector->Take(samples); };
    const MediaRead read =
        ReadSound(path, track, {&peaks, speech ? &toDetector : nullptr, &opened, nullptr}, control);
    if (read == MediaRead::kDone && detector) detector->End();
    return read;
}

MediaRead ReadSpeechSound(const std::string& path, int track, const SoundSink& take,
                          const JobControl& control,
                          const std::function<void(double done)>& progress) {
    return ReadSound(path, track, {nullptr, &take, nullptr, &progress}, control);
}

std::string SavedPeaks(const AudioPeaks& peaks, double secondsPerFrame) {
    const std::vector<PeakPair> finest = peaks.Finest();
    std::string out(reinterpret_cast<const char*>(&secondsPerFrame), sizeof secondsPerFrame);
    out.append(reinterpret_cast<const char*>(finest.data()), finest.size() * sizeof(PeakPair));
    return out;
}

std::optional<LoadedPeaks> PeaksFromSaved(const std::string& bytes) {
    LoadedPeaks loaded;
    if (bytes.size() < sizeof loaded.secondsPerFrame ||
        (bytes.size() - sizeof loaded.secondsPerFrame) % sizeof(PeakPair) != 0) {
        return std::nullopt;
    }
    std::memcpy(&loaded.secondsPerFrame, bytes.data(), sizeof loaded.secondsPerFrame);
    if (!(loaded.secondsPerFrame > 0 && loaded.secondsPerFrame < 10)) return std::nullopt;
    std::vector<PeakPair> finest((bytes.size() - sizeof loaded.secondsPerFrame) / sizeof(PeakPair));
    std::memcpy(finest.data(), bytes.data() + sizeof loaded.secondsPerFrame,
                finest.size() * sizeof(PeakPair));
    loaded.peaks = std::make_shared<AudioPeaks>();
    loaded.peaks->Reserve(static_cast<double>(finest.size()) / AudioPeaks::kPairsPerSecond);
    loaded.peaks->Append(finest);
    loaded.peaks->Finish();
    return loaded;
}

}  // namespace vantrel
