#include "media/speech_spectrum.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantrel {

namespace {

// A radix-2 transform in place.
void Transform(std::vector<float>& re, std::vector<float>& im) {
    const size_t n = re.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) {
            std::swap(re[i], re[j]);
            std::swap(im[i], im[j]);
        }
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * std::numbers::pi / static_cast<double>(len);
        const float wr = static_cast<float>(std::cos(angle));
        const float wi = static_cast<float>(std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            float cr = 1, ci = 0;
            for (size_t k = 0; k < len / 2; ++k) {
                const size_t a = i + k, b = i + k + len / 2;
                const float tr = re[b] * cr - im[b] * ci;
                const float ti = re[b] * ci + im[b] * cr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
                const float next = cr * wr - ci * wi;
                ci = cr * wi + ci * wr;
                cr = next;
            }
        }
    }
}

}  // namespace

void PowerSpectrum(std::span<const float> samples, std::vector<float>& re, std::vector<float>& im,
                   std::vector<float>& power) {
    const size_t n = samples.size();
    re.assign(samples.begin(), samples.end());
    im.assign(n, 0.0f);
    Transform(re, im);
    power.resize(n / 2 + 1);
    for (size_t k = 0; k <= n / 2; ++k) power[k] = re[k] * re[k] + im[k] * im[k];
}

namespace {

// The window reaches this far before its frame's first sample, and as far past its last.
constexpr size_t kLead = (kSpeechWindowSamples - kSpeechFrameSamples) / 2;

}  // namespace

SpectrumFramer::SpectrumFramer(OnFrame onFrame) : onFrame_(std::move(onFrame)) {
    hann_.resize(kSpeechWindowSamples);
    for (size_t i = 0; i < hann_.size(); ++i) {
        hann_[i] = static_cast<float>(
            0.5 - 0.5 * std::cos(2 * std::numbers::pi * (static_cast<double>(i) + 0.5) /
                                 kSpeechWindowSamples));
        windowPower_ += double{hann_[i]} * hann_[i];
    }
    pending_.assign(kLead, 0.0f);
}

void SpectrumFramer::Take(std::span<const float> samples) {
    taken_ += static_cast<int64_t>(samples.size());
    for (size_t at = 0; at < samples.size();) {
        const size_t room = kSpeechWindowSamples - (pending_.size() - first_);
        const size_t n = std::min(room, samples.size() - at);
        pending_.insert(pending_.end(), samples.begin() + at, samples.begin() + at + n);
        at += n;
        if (pending_.size() - first_ == kSpeechWindowSamples) Emit();
    }
}

void SpectrumFramer::End() {
    const int64_t frames = (taken_ + kSpeechFrameSamples - 1) / kSpeechFrameSamples;
    while (frames_ < frames) {
        pending_.resize(first_ + kSpeechWindowSamples, 0.0f);
        Emit();
    }
}

void SpectrumFramer::Emit() {
    const float* window = pending_.data() + first_;
    double sum = 0;
    for (size_t i = kLead; i < kLead + kSpeechFrameSamples; ++i)
        sum += double{window[i]} * window[i];
    windowed_.assign(kSpeechSpectrumSize, 0.0f);
    for (size_t i = 0; i < kSpeechWindowSamples; ++i) windowed_[i] = window[i] * hann_[i];
    PowerSpectrum(windowed_, re_, im_, power_);
    onFrame_({frames_, sum / kSpeechFrameSamples, power_, windowPower_});
    ++frames_;
    // The next window starts a frame later; what is behind it goes now and then.
    first_ += kSpeechFrameSamples;
    if (first_ >= 4096) {
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(first_));
        first_ = 0;
    }
}

}  // namespace vantrel
