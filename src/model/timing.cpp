// Timing modes: how a caption's end frame follows from its start, its content and its neighbour.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "model/caption.h"

namespace vantrel {

namespace {
constexpr int32_t kFramesPerRow = 60;  // "two seconds per occupied line" at 30 fps
constexpr int32_t kFramesWithoutNext = 30;
constexpr int32_t kNoLimit = std::numeric_limits<int32_t>::max();

// 64-bit arithmetic, clamped back, so that frames near the ends of the range cannot overflow.
int32_t Clamp32(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}
}  // namespace

void Caption::ApplyTiming(int32_t gap) {
    endFrame = TimedEnd(next, gap);
}

int32_t Caption::TimedEnd(const Caption* following, int32_t gap) const {
    const int64_t s = startFrame;
    // Where an end cut short by the next start (`l`) goes: `gap` frames before it, though a
    // wider gap never takes the caption below its own start.
    auto cut = [&](int64_t l) { return std::max(l - gap, std::min(s, l - 1)); };
    switch (timingMode) {
        case Normal: {
            const int64_t limit = following ? cut(following->startFrame) : kNoLimit - 1;
            return Clamp32(std::min(s + int64_t{kFramesPerRow} * CountOccupiedRows(), limit));
        }
        case Persistent:
            return Clamp32(cut(following ? following->startFrame : s + kFramesWithoutNext));
        case Seamless:
            return Clamp32(following ? following->startFrame : s + kFramesWithoutNext);
        case Manual: {
            const int64_t limit = following ? cut(following->startFrame) : kNoLimit - 1;
            return endFrame > limit ? Clamp32(limit) : endFrame;
        }
        default:
            return endFrame;
    }
}

void Caption::MoveStart(int32_t frame, int32_t gap) {
    int64_t duration = int64_t{endFrame} - startFrame;
    if (prev) {
        switch (prev->timingMode) {
            case Normal:
            case Persistent:
                prev->endFrame = Clamp32(int64_t{frame} - gap);
                break;
            case Seamless:
                prev->endFrame = frame;
                break;
            default:
                break;
        }
    }
    switch (timingMode) {
        case Normal:
            duration = std::clamp<int64_t>(duration, 3, 120);
            break;
        case Persistent:
            if (next) duration = int64_t{next->startFrame} - frame - gap;
            break;
        case Seamless:
            if (next) duration = int64_t{next->startFrame} - frame;
            break;
        default:
            break;
    }
    startFrame = frame;
    endFrame = Clamp32(int64_t{frame} + duration);
}

}  // namespace vantrel
