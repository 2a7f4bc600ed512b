// What the window learns from the open video in the background: its sound's peaks, where it
// holds speech, and its shot changes, each taken from the cache when the same video was read
// before, otherwise read at idle priority and kept in the cache once whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "media/audio_peaks.h"
#include "media/media_job.h"
#include "media/shot_changes.h"
#include "media/speech_activity.h"

namespace vantrel {

class MediaAnalysis {
  public:
    // `cacheFolder` "": nothing is kept between runs.
    explicit MediaAnalysis(std::string cacheFolder);
    ~MediaAnalysis();
    MediaAnalysis(const MediaAnalysis&) = delete;
    MediaAnalysis& operator=(const MediaAnalysis&) = delete;

    // Starts on a video (what was going on for another one stops): sound track `audioTrack`.
    void Open(const std::string& path, int audioTrack = 0);
    // Stops and forgets.
    void Close();
    // Shot detection waits while the video plays.
    void SetPaused(bool paused);

    // The peaks as they arrive; null until the file is open, and when it has no sound.
    std::shared_ptr<const AudioPeaks> Peaks() const;
    // The runs of speech as they are found; null like the peaks.
    std::shared_ptr<const SpeechActivity> Speech() const;
    // The video's time per frame, once known (0 before).
    double SecondsPerFrame() const { return secondsPerFrame_.load(); }
    // The shot changes found so far at the threshold, or those imported.
    std::vector<int32_t> ShotChanges() const;
    // A new threshold picks the changes again from the scores found (imported ones are
    // replaced by detection, which starts again when it had been stopped).
    void SetShotThreshold(int threshold);
    int ShotThreshold() const { return threshold_; }
    // Changes read from a file: detection stops and these are shown instead.
    void ImportShotChanges(std::vector<int32_t> frames);
    // How many frames have been compared (for the window to tell when there is more to show).
    size_t ScoredFrames() const;
    // Nothing more will arrive.
    bool Settled() const;

  private:
    void StartPeaks(int audioTrack);
    void StartShots();

    const std::string cacheFolder_;
    std::string path_;
    MediaJob peaksJob_;
    MediaJob shotsJob_;
    mutable std::mutex mutex_;
    std::shared_ptr<AudioPeaks> peaks_;
    std::shared_ptr<SpeechActivity> speech_;
    std::shared_ptr<ShotScores> scores_;
    std::vector<int32_t> imported_;
    bool usesImported_ = false;
    std::atomic<double> secondsPerFrame_{0};
    int threshold_ = kDefaultShotThreshold;
};

}  // namespace vantrel
