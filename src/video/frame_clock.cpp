#include "video/frame_clock.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// A quarter frame: far more than any container rounds its timestamps (Matroska: 0.5 ms), and
// far less than the distance to the neighbouring frame.
constexpr double kSeekLead = 0.25;

}  // namespace

FrameClock::FrameClock(double origin, double fps, int64_t frameCount)
    : origin_(origin), fps_(fps > 0.0 ? fps : kFramesPerSecond), frameCount_(frameCount) {}

int64_t FrameClock::Clamp(int64_t frame) const {
    if (frameCount_ > 0) frame = std::min(frame, frameCount_ - 1);
    return std::max<int64_t>(frame, 0);
}

int64_t FrameClock::FrameAt(double seconds) const {
    return Clamp(std::llround((seconds - origin_) * fps_));
}

int64_t FrameClock::FrameOfPosition(int64_t position) const {
    return Clamp(position / kVideoFrameDuration);
}

double FrameClock::SeekTime(int64_t frame) const {
    return std::max(0.0, origin_ + (static_cast<double>(frame) - kSeekLead) / fps_);
}

}  // namespace vantrel
