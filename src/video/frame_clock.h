// Maps between the real times of a video's frames and frame-exact positions in media units.
#pragma once

#include <cstdint>

#include "files/timecode.h"
#include "video/media_units.h"

namespace vantrel {

class FrameClock {
  public:
    FrameClock() = default;
    // origin: time in seconds of the first frame after loading; fps: the media's frame rate;
    // frameCount: number of frames (0 when unknown).
    FrameClock(double origin, double fps, int64_t frameCount);

    double Origin() const { return origin_; }
    double FramesPerSecond() const { return fps_; }
    int64_t FrameCount() const { return frameCount_; }

    // Index of the frame whose time is nearest to `seconds`, within the video.
    int64_t FrameAt(double seconds) const;
    // Frame that a position in media units falls in (positions are frame multiples), within
    // the video.
    int64_t FrameOfPosition(int64_t position) const;
    // Where to aim an exact seek for `frame`: a little before the frame's own time, so that
    // timestamps rounded by the container still land on it and never on the frame after.
    double SeekTime(int64_t frame) const;

    static int64_t PositionOfFrame(int64_t frame) { return frame * kVideoFrameDuration; }
    int64_t Duration() const { return frameCount_ * kVideoFrameDuration; }

  private:
    int64_t Clamp(int64_t frame) const;

    double origin_ = 0.0;
    double fps_ = kFramesPerSecond;
    int64_t frameCount_ = 0;
};

}  // namespace vantrel
