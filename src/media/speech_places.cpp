#include "media/speech_places.h"

#include "media/speech_cepstra.h"
#include "media/spoken_text.h"

namespace vantrel {

bool FindCaptionsInSpeech(const std::vector<std::string>& texts, const SoundReader& read,
                          SpeechPlaces& found, std::string& error, const AlignProgress& progress) {
    error.clear();
    // The synthesiser first: without it there is no use reading an hour of sound.
    const std::unique_ptr<SpokenText> voice = SpokenText::Open(error);
    if (!voice) return false;
    // Reading is the first half of the bar, placing the second; the reader stops by itself.
    CepstraMaker programme;
    const MediaRead sound =
        read([&](std::span<const float> samples) { programme.Take(samples); },
             [&](double secondsPerFrame) { found.secondsPerFrame = secondsPerFrame; },
             [&](double done) {
                 if (progress) progress(0.5 * done);
             });
    if (sound == MediaRead::kCancelled) return false;
    if (sound == MediaRead::kFailed) {
        error = "its sound could not be read: it has no audio track that can be decoded";
        return false;
    }
    const auto aligner =
        MakeSpokenTextAligner([&](const std::string& text, std::vector<float>& samples,
                                  std::string& why) { return voice->Speak(text, samples, why); });
    return aligner->Place(texts, programme.End(), found.places, error,
                          [&](double done) { return !progress || progress(0.5 + 0.5 * done); });
}

}  // namespace vantrel
