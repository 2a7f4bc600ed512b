// The sound of a video read into its peaks for the timeline: an audio track decoded with
// FFmpeg's libraries, mixed down to one channel, and the lowest and highest sample of each
// 1/480 s appended to an AudioPeaks as the decoding goes; the same sound, resampled, goes to
// the voice-activity detector.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "media/audio_peaks.h"
#include "media/media_job.h"
#include "media/speech_activity.h"

namespace vantrel {

// The video's time per frame (that of its first picture stream; 1001/30000 s when it has
// none), found once the file is open.
using OnMediaOpened = std::function<void(double secondsPerFrame)>;

// Reads audio track `track` (0: the first) of `path` into `peaks`, placed so that time 0 is the
// start of the picture, and finishes them when the whole track was read; with `speech`, the
// runs of speech found in the same decoding too.
MediaRead ReadAudioPeaks(const std::string& path, int track, AudioPeaks& peaks,
                         const JobControl& control, const OnMediaOpened& opened = {},
                         SpeechActivity* speech = nullptr);

// Samples at kSpeechRate, mixed down to one channel, in time order from the start of the picture.
using SoundSink = std::function<void(std::span<const float> samples)>;

// Reads audio track `track` of `path` into `take` alone, for timing to speech; `progress` is
// told the share of the file read (when its length is known).
MediaRead ReadSpeechSound(const std::string& path, int track, const SoundSink& take,
                          const JobControl& control,
                          const std::function<void(double done)>& progress);

// The peaks and the seconds per frame as the cache keeps them, and back; nothing when the
// bytes are not such an entry.
std::string SavedPeaks(const AudioPeaks& peaks, double secondsPerFrame);
struct LoadedPeaks {
    std::shared_ptr<AudioPeaks> peaks;
    double secondsPerFrame = 0;
};
std::optional<LoadedPeaks> PeaksFromSaved(const std::string& bytes);

}  // namespace vantrel
