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

void Caption::ApplyTiming() {
    const int64_t s = startFrame;
    switch (timingMode) {
        case Normal: {
            const int64_t limit = next ? int64_t{next->startFrame} - 1 : kNoLimit - 1;
            endFrame = Clamp32(std::min(s + int64_t{kFramesPerRow} * CountOccupiedRows(), limit));
            break;
        }
        case Persistent:
            endFrame = Clamp32((next ? next->startFrame : s + kFramesWithoutNext) - 1);
            break;
        case Seamless:
            endFrame = Clamp32(next ? next->startFrame : s + kFramesWithoutNext);
            break;
        case Manual: {
            const int64_t limit = next ? int64_t{next->startFrame} - 1 : kNoLimit - 1;
            if (endFrame > limit) endFrame = Clamp32(limit);
            break;
        }
        default:
            break;
    }
}

void Caption::MoveStart(int32_t frame) {
    int64_t duration = int64_t{endFrame} - startFrame;
    if (prev) {
        switch (prev->timingMode) {
            case Normal:
            case Persistent:
                prev->endFrame = Clamp32(int64_t{frame} - 1);
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
            if (next) duration = int64_t{next->startFrame} - frame - 1;
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
