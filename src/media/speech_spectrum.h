// The sound cut into the 10 ms frames that speech is measured in: for each frame the energy of
// its own samples and the power spectrum of the 25 ms around it, so that the sound is
// transformed once for every measure taken of it.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace vantrel {

// Speech is measured at this rate (the decoder's sound is resampled to it): the band that
// carries speech, at a third of the cost of 48 kHz.
constexpr int kSpeechRate = 16000;
// Frames of speech measures per second of sound: 10 ms each.
constexpr int kSpeechFramesPerSecond = 100;
constexpr int kSpeechFrameSamples = kSpeechRate / kSpeechFramesPerSecond;
// The spectrum's window, centred on its frame, and the transform's length.
constexpr int kSpeechWindowSamples = 400;
constexpr int kSpeechSpectrumSize = 512;
constexpr double kSpeechHertzPerBin = static_cast<double>(kSpeechRate) / kSpeechSpectrumSize;

struct SpectrumFrame {
    int64_t index = 0;             // frame k covers samples [160 k, 160 (k + 1))
    double energy = 0;             // mean square of the frame's own samples
    std::span<const float> power;  // bins 0 .. 256 of the Hann-windowed 25 ms around it
    double windowPower = 0;        // the sum of the window's squares, to scale `power` by
};

// Cuts samples at kSpeechRate into frames, each handed on as soon as the samples its window
// reaches have arrived.
class SpectrumFramer {
  public:
    using OnFrame = std::function<void(const SpectrumFrame&)>;
    explicit SpectrumFramer(OnFrame onFrame);

    void Take(std::span<const float> samples);
    // The last frames too, the window's reach past the end taken as silence; a last, partial
    // frame counts as a whole one.
    void End();

  private:
    void Emit();

    OnFrame onFrame_;
    std::vector<float> pending_;  // from the next frame's window start on
    size_t first_ = 0;            // where that window starts in `pending_`
    std::vector<float> hann_;
    std::vector<float> windowed_, re_, im_, power_;
    int64_t frames_ = 0;
    int64_t taken_ = 0;
    double windowPower_ = 0;
};

// The power spectrum of `samples` (kSpeechSpectrumSize of them, a power of two) into `power`
// (half of them and one); `re` and `im` are scratch.
void PowerSpectrum(std::span<const float> samples, std::vector<float>& re, std::vector<float>& im,
                   std::vector<float>& power);

}  // namespace vantrel
