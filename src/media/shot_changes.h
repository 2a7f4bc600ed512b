// Shot changes: the frames where the picture cuts to another shot. Every frame of the video is
// decoded small and compared with the one before it; the comparison's score is kept per frame,
// so that a new threshold picks the changes again without decoding anything.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "media/media_job.h"

namespace vantrel {

// How much each frame's picture differs from the one before: 0 (the same) to 255 (nothing
// alike); frame 0 scores 0. Appended by the reader, read by the window from any thread.
class ShotScores {
  public:
    void Append(uint8_t score);
    void Finish();
    bool Complete() const;
    size_t Frames() const;
    std::vector<uint8_t> Snapshot() const;

  private:
    mutable std::mutex mutex_;
    std::vector<uint8_t> scores_;
    bool complete_ = false;
};

// Scores every frame of the first picture stream of `path`, in the order frames are shown.
MediaRead ScoreShotChanges(const std::string& path, ShotScores& scores, const JobControl& control);

// The threshold the user sets, in percent of the largest score: lower finds more changes.
constexpr int kDefaultShotThreshold = 30;
constexpr int kLowestShotThreshold = 1;
constexpr int kHighestShotThreshold = 100;

// The frames, in order, whose score reaches `threshold` percent, stands out against the
// frames before it (so that fast motion is no cut) and is the highest of its neighbours (so
// that a cut spread over two frames counts once).
std::vector<int32_t> ShotChangesFrom(std::span<const uint8_t> scores, int threshold);

}  // namespace vantrel
