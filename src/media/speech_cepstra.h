// What speech is matched by: for each 10 ms frame its loudness (c0, the natural log of its
// samples' mean square), then 12 coefficients of its spectral shape (c1 .. c12 of the cosine
// transform of the log energies of 24 mel-spaced bands).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "media/speech_spectrum.h"

namespace vantrel {

constexpr int kCepstra = 13;

// The frame's c0 .. c12, appended to `out`.
void AppendCepstra(const SpectrumFrame& frame, std::vector<float>& out);

// Cepstra, kCepstra to a frame, made from samples at kSpeechRate as they arrive.
class CepstraMaker {
  public:
    CepstraMaker();
    void Take(std::span<const float> samples) { framer_.Take(samples); }
    // The last frames, and the cepstra; the maker is spent.
    std::vector<float> End();

  private:
    std::vector<float> cepstra_;
    SpectrumFramer framer_;
};

// The frames of `cepstra` from the first whose loudness is within 35 dB of the loudest to the
// last such: a spoken text without the silence around it.
std::span<const float> SpokenPart(std::span<const float> cepstra);

// Each of coefficients 1 .. 12 of `cepstra` brought to mean 0 and variance 1 over the frames
// whose c0 is within 40 dB of the loudest, so that a voice and a recording differ less in the
// match than in their colour.
void NormaliseCepstra(std::vector<float>& cepstra);

}  // namespace vantrel
