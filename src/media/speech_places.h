// The whole of finding captions in a programme's speech, for the window and vantrel-cc alike:
// the sound read, the synthesiser opened, the texts placed.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "media/audio_waveform.h"
#include "media/caption_alignment.h"

namespace vantrel {

// Reads the programme's sound into `take`, telling `progress` the share read; stops by itself
// on a cancel request.
using SoundReader =
    std::function<MediaRead(const SoundSink& take, const std::function<void(double)>& progress)>;

// ReadSpeechSound (media/audio_waveform.h), in the program or through the video module.
using SpeechSoundFunction = MediaRead (*)(const std::string& path, int track, const SoundSink& take,
                                          const JobControl& control,
                                          const std::function<void(double done)>& progress);

// The first sound track of `path` read by `read`, stopped once `cancel` is raised.
SoundReader SpeechSoundOf(SpeechSoundFunction read, std::string path,
                          const std::atomic<int>& cancel);

// The texts' places in the sound `read` gives, spoken by espeak-ng and matched to it. False
// with `error` when that could not be done, or with `error` empty when it was stopped.
bool FindCaptionsInSpeech(const std::vector<std::string>& texts, const SoundReader& read,
                          std::vector<CaptionPlace>& places, std::string& error,
                          const AlignProgress& progress);

}  // namespace vantrel
