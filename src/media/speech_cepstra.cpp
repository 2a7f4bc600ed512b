#include "media/speech_cepstra.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace vantrel {

namespace {

constexpr int kBands = 24;
constexpr double kLowestHertz = 100;
constexpr double kHighestHertz = 7000;
constexpr size_t kBins = kSpeechSpectrumSize / 2 + 1;
// c0 is the natural log of a frame's energy: so many dB are this much of it.
constexpr double LogUnits(double decibels) {
    return decibels * std::numbers::ln10 / 10;
}
constexpr double kSpokenRange = LogUnits(35);
constexpr double kNormalisedRange = LogUnits(40);

double Mel(double hertz) {
    return 2595 * std::log10(1 + hertz / 700);
}
double Hertz(double mel) {
    return 700 * (std::pow(10, mel / 2595) - 1);
}

// Triangular bands over the bins, and the cosine transform's table.
struct Tables {
    std::array<std::array<float, kBins>, kBands> bands{};
    std::array<std::array<float, kBands>, kCepstra> cosines{};
    Tables() {
        std::array<double, kBands + 2> edges{};
        const double low = Mel(kLowestHertz), high = Mel(kHighestHertz);
        for (int i = 0; i < kBands + 2; ++i)
            edges[i] = Hertz(low + (high - low) * i / (kBands + 1));
        for (int b = 0; b < kBands; ++b) {
            for (size_t k = 0; k < kBins; ++k) {
                const double f = static_cast<double>(k) * kSpeechHertzPerBin;
                double w = 0;
                if (f > edges[b] && f <= edges[b + 1])
                    w = (f - edges[b]) / (edges[b + 1] - edges[b]);
                if (f > edges[b + 1] && f < edges[b + 2])
                    w = (edges[b + 2] - f) / (edges[b + 2] - edges[b + 1]);
                bands[b][k] = static_cast<float>(w);
            }
        }
        for (int c = 0; c < kCepstra; ++c) {
            for (int b = 0; b < kBands; ++b)
                cosines[c][b] =
                    static_cast<float>(std::cos(std::numbers::pi * c * (b + 0.5) / kBands));
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;  // constant once made
    return tables;
}

float Loudest(std::span<const float> cepstra) {
    float loudest = -std::numeric_limits<float>::infinity();
    for (size_t f = 0; f < cepstra.size() / kCepstra; ++f)
        loudest = std::max(loudest, cepstra[f * kCepstra]);
    return loudest;
}

}  // namespace

void AppendCepstra(const SpectrumFrame& frame, std::vector<float>& out) {
    const Tables& t = TheTables();
    std::array<float, kBands> logs{};
    const size_t bins = std::min(frame.power.size(), kBins);
    for (int b = 0; b < kBands; ++b) {
        double sum = 0;
        for (size_t k = 0; k < bins; ++k) sum += t.bands[b][k] * frame.power[k];
        logs[b] = static_cast<float>(std::log(sum / std::max(frame.windowPower, 1e-9) + 1e-10));
    }
    // c0 is the loudness of the frame's own samples, which places an onset on its frame.
    out.push_back(static_cast<float>(std::log(frame.energy + 1e-10)));
    for (int c = 1; c < kCepstra; ++c) {
        double sum = 0;
        for (int b = 0; b < kBands; ++b) sum += t.cosines[c][b] * logs[b];
        out.push_back(static_cast<float>(sum));
    }
}

CepstraMaker::CepstraMaker()
    : framer_([this](const SpectrumFrame& frame) { AppendCepstra(frame, cepstra_); }) {}

std::vector<float> CepstraMaker::End() {
    framer_.End();
    return std::move(cepstra_);
}

std::span<const float> SpokenPart(std::span<const float> cepstra) {
    const size_t frames = cepstra.size() / kCepstra;
    const double floor = Loudest(cepstra) - kSpokenRange;
    size_t first = 0, last = frames;
    while (first < frames && cepstra[first * kCepstra] < floor) ++first;
    while (last > first && cepstra[(last - 1) * kCepstra] < floor) --last;
    return cepstra.subspan(first * kCepstra, (last - first) * kCepstra);
}

void NormaliseCepstra(std::vector<float>& cepstra) {
    const size_t frames = cepstra.size() / kCepstra;
    const double floor = Loudest(cepstra) - kNormalisedRange;
    for (int c = 1; c < kCepstra; ++c) {
        double sum = 0, squares = 0;
        size_t count = 0;
        for (size_t f = 0; f < frames; ++f) {
            if (cepstra[f * kCepstra] < floor) continue;
            const double v = cepstra[f * kCepstra + c];
            sum += v;
            squares += v * v;
            ++count;
        }
        if (count == 0) return;
        const double mean = sum / static_cast<double>(count);
        const double deviation =
            std::sqrt(std::max(squares / static_cast<double>(count) - mean * mean, 1e-6));
        for (size_t f = 0; f < frames; ++f) {
            float& v = cepstra[f * kCepstra + c];
            v = static_cast<float>((v - mean) / deviation);
        }
    }
}

}  // namespace vantrel
