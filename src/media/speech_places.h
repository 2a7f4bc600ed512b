// The whole of finding captions in a programme's speech, for the window and vantrel-cc alike:
// the sound read, the synthesiser opened, the texts placed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "media/audio_waveform.h"
#include "media/caption_alignment.h"

namespace vantrel {

// Reads the programme's sound into `take`, telling `opened` the video's time per frame and
// `progress` the share read; stops by itself on a cancel request.
using SoundReader = std::function<MediaRead(const SoundSink& take, const OnMediaOpened& opened,
                                            const std::function<void(double)>& progress)>;

struct SpeechPlaces {
    std::vector<CaptionPlace> places;
    double secondsPerFrame = 0;
};

// The texts' places in the sound `read` gives, spoken by espeak-ng and matched to it. False
// with `error` when that could not be done, or with `error` empty when it was stopped.
bool FindCaptionsInSpeech(const std::vector<std::string>& texts, const SoundReader& read,
                          SpeechPlaces& found, std::string& error, const AlignProgress& progress);

}  // namespace vantrel
