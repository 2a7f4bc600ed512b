#include "media/speech_places.h"

#include "media/speech_cepstra.h"
#include "media/spoken_text.h"

namespace vantrel {

SoundReader SpeechSoundOf(SpeechSoundFunction read, std::string path,
                          const std::atomic<int>& cancel) {
    return [read, path = std::move(path), &cancel](const SoundSink& take,
                                                   const std::function<void(double)>& progress) {
        JobControl control;
        return read(path, 0, take, control, [&](double done) {
            if (cancel.load(std::memory_order_relaxed) != 0) control.Cancel();
            if (progress) progress(done);
        });
    };
}

bool FindCaptionsInSpeech(const std::vector<std::string>& texts, const SoundReader& read,
                          std::vector<CaptionPlace>& places, std::string& error,
                          const AlignProgress& progress) {
    error.clear();
    // The synthesiser first: without it there is no use reading an hour of sound.
    const std::unique_ptr<SpokenText> voice = SpokenText::Open(error);
    if (!voice) return false;
    // Reading is the first half of the bar, placing the second; the reader stops by itself.
    CepstraMaker programme;
    const MediaRead sound = read([&](std::span<const float> samples) { programme.Take(samples); },
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
    return aligner->Place(texts, programme.End(), places, error,
                          [&](double done) { return !progress || progress(0.5 + 0.5 * done); });
}

}  // namespace vantrel
