// The voice-activity detector: each 10 ms frame of the sound judged speech or not from its
// energy against the background it rises from and the shape of its spectrum (a voice's
// harmonics, not the flat spectrum of noise), and the frames joined into runs of speech that
// bridge the short silences inside words and drop clicks.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "media/speech_activity.h"
#include "media/speech_spectrum.h"

namespace vantrel {

class VoiceActivityDetector {
  public:
    // Runs go to `out` as each one closes.
    explicit VoiceActivityDetector(SpeechActivity& out);

    // Samples at kSpeechRate, in time order from the start of the picture.
    void Take(std::span<const float> samples);
    // The end of the sound: the last run closes, and `out` is finished.
    void End();

  private:
    // What a frame's verdict is made of: its level in dB and whether its spectrum is a voice's
    // rather than noise's.
    struct Measures {
        int64_t index;
        double level;
        bool harmonic;
    };
    static Measures Measure(const SpectrumFrame& frame);
    void Admit(const Measures& frame);
    void Judge(const Measures& frame);
    void Close();

    SpeechActivity& out_;
    SpectrumFramer framer_;
    // dB: the level the sound falls back to between sounds. It starts at the quietest of the
    // first second, so that music under the start is background at once and speech from the
    // first frame on is speech; those frames are judged once the second is known.
    double background_ = 0;
    std::vector<Measures> first_;
    bool started_ = false;
    int64_t frames_ = 0;  // frames judged
    bool open_ = false;   // a run is going on
    int64_t from_ = 0;    // its first voiced frame
    int64_t last_ = 0;    // its last voiced frame
    int64_t voiced_ = 0;  // its voiced frames
};

}  // namespace vantrel
