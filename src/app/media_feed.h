// Hands the timeline what the background reading of the open video finds: the sound's peaks
// and its runs of speech, redrawn as they arrive, and the shot changes as they are found or
// imported. Shot detection waits while the video plays.
#pragma once

#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/media_analysis.h"
#include "timeline/timeline_window.h"

namespace vantrel {

class MediaFeed : public QObject {
    Q_OBJECT

  public:
    // `playing` tells whether the video plays now; `cacheFolder` "" keeps nothing between runs.
    MediaFeed(TimelineWindow& timeline, std::function<bool()> playing, std::string cacheFolder,
              QObject* parent = nullptr);

    // Starts on a newly opened video (stopping what went on for the one before).
    void Open(const std::string& path);
    // The video closed: nothing more is read, and the timeline shows neither.
    void Close();
    // The play state changed: detection waits or goes on.
    void PlayStateChanged();

    // A new threshold picks the shot changes again (imported ones give way to detection).
    void SetShotThreshold(int threshold);
    int ShotThreshold() const { return analysis_.ShotThreshold(); }
    // Shot changes read from a file take the place of those found.
    void ImportShotChanges(std::vector<int32_t> frames);

    const MediaAnalysis& Analysis() const { return analysis_; }

  private:
    // Shows what arrived since the last look; stops looking once nothing more will.
    void Poll();
    void ShowShotChanges();
    void ShowSpeech();

    TimelineWindow& timeline_;
    std::function<bool()> playing_;
    MediaAnalysis analysis_;
    QTimer timer_;
    std::shared_ptr<const AudioPeaks> shownPeaks_;
    double shownSeconds_ = -1;
    size_t shownFrames_ = 0;
    std::shared_ptr<const SpeechActivity> shownSpeech_;
    double shownSpeechSeconds_ = -1;
};

}  // namespace vantrel
