// Placing captions against the programme's own speech: each caption's words are found in the
// sound and given the 10 ms frames from their first word's onset to their last word's end. The
// engine is behind one interface so that another (a recogniser) can take its place.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantrel {

// Where a caption's words were found, in 10 ms frames of the programme; `placed` false when
// they were not (not spoken, or too unlike anything where they could be).
struct CaptionPlace {
    bool placed = false;
    int32_t from = 0;
    int32_t to = 0;  // exclusive
    bool operator==(const CaptionPlace&) const = default;
};

// Called now and then with the share done (0 to 1); false stops the work.
using AlignProgress = std::function<bool(double done)>;

class SpeechAligner {
  public:
    virtual ~SpeechAligner() = default;
    // One place per text, in order, the places placed in order too. `programme`: the cepstra
    // of the whole programme (media/speech_cepstra.h). False with `error` when the engine
    // cannot work at all, or with `error` empty when `progress` said to stop.
    virtual bool Place(const std::vector<std::string>& texts, std::vector<float> programme,
                       std::vector<CaptionPlace>& places, std::string& error,
                       const AlignProgress& progress) = 0;
};

// Speaks `text` into samples at kSpeechRate (appended); false with `error` when it cannot.
using TextSpeaker =
    std::function<bool(const std::string& text, std::vector<float>& samples, std::string& error)>;

// The texts spoken by `speak` and matched to the programme by dynamic time warping over their
// cepstra.
std::unique_ptr<SpeechAligner> MakeSpokenTextAligner(TextSpeaker speak);

}  // namespace vantrel
