#include "media/voice_activity.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// Levels in dB of full scale (a full-scale sine is -3 dB).
// Below this nothing is speech, however quiet the background.
constexpr double kQuietest = -55;
// Speech stands this far above the background.
constexpr double kAboveBackground = 12;
// The background follows a quieter sound at once and a louder one by this much a frame (3 dB a
// second), so that it climbs with lasting noise or music but not into a sentence, which falls
// back between its words.
constexpr double kBackgroundRise = 0.03;
// The band whose spectrum is judged: a voice's harmonics and its consonants.
constexpr double kLowestHertz = 200;
constexpr double kHighestHertz = 6000;
// The spectral flatness (geometric over arithmetic mean of the band's power, in dB) above which a
// frame is noise: white noise is near -2.5 dB, a voice's harmonics far below.
constexpr double kNoiseFlatness = -5;
// A run goes on through this many frames without speech (the closure of a stop, a breath
// between words) and ends at its last voiced frame when none comes back.
constexpr int64_t kHangover = 15;
// Runs with fewer voiced frames than this are clicks and knocks, not speech.
constexpr int64_t kLeastVoiced = 5;
// The frames whose quietest sets where the background starts: the first second.
constexpr size_t kFirstFrames = 100;

double Decibels(double power) {
    return 10 * std::log10(std::max(power, 1e-12));
}

}  // namespace

VoiceActivityDetector::VoiceActivityDetector(SpeechActivity& out)
    : out_(out), framer_([this](const SpectrumFrame& frame) { Admit(Measure(frame)); }) {}

void VoiceActivityDetector::Take(std::span<const float> samples) {
    framer_.Take(samples);
}

void VoiceActivityDetector::End() {
    framer_.End();
    if (!started_) Admit(Measures{-1, 0, false});
    Close();
    out_.SetKnownFrames(frames_);
    out_.Finish();
}

VoiceActivityDetector::Measures VoiceActivityDetector::Measure(const SpectrumFrame& frame) {
    // The energy of the frame's own samples places an onset on its frame; the window's spectrum
    // reaches into the frames either side.
    const auto low = static_cast<size_t>(kLowestHertz / kSpeechHertzPerBin);
    const auto high =
        std::min(static_cast<size_t>(kHighestHertz / kSpeechHertzPerBin), frame.power.size() - 1);
    double sum = 0, logSum = 0;
    for (size_t k = low; k <= high; ++k) {
        const double p = double{frame.power[k]} + 1e-20;
        sum += p;
        logSum += std::log(p);
    }
    const double bins = static_cast<double>(high - low + 1);
    const double flatness = 10 / std::log(10.0) * (logSum / bins - std::log(sum / bins));
    return {frame.index, Decibels(frame.energy), flatness < kNoiseFlatness};
}

// The first second's frames wait for its quietest; index -1: the sound ended before it did.
void VoiceActivityDetector::Admit(const Measures& frame) {
    if (started_) return Judge(frame);
    if (frame.index >= 0) first_.push_back(frame);
    if (frame.index >= 0 && first_.size() < kFirstFrames) return;
    started_ = true;
    background_ = 0;
    for (const Measures& m : first_) background_ = std::min(background_, m.level);
    for (const Measures& m : first_) Judge(m);
    std::vector<Measures>().swap(first_);
}

void VoiceActivityDetector::Judge(const Measures& frame) {
    background_ = std::min(frame.level, background_ + kBackgroundRise);
    const bool voiced =
        frame.harmonic && frame.level >= kQuietest && frame.level >= background_ + kAboveBackground;
    frames_ = frame.index + 1;
    if (open_ && frame.index - last_ > kHangover) Close();
    if (voiced) {
        if (!open_) {
            open_ = true;
            from_ = frame.index;
            voiced_ = 0;
        }
        last_ = frame.index;
        ++voiced_;
    }
    // Frames still inside an open run's hangover are not yet known to be outside it.
    out_.SetKnownFrames(open_ ? from_ : frame.index + 1);
}

void VoiceActivityDetector::Close() {
    if (open_ && voiced_ >= kLeastVoiced)
        out_.Append({static_cast<int32_t>(from_), static_cast<int32_t>(last_ + 1)});
    open_ = false;
}

}  // namespace vantrel
