#include "timeline/timeline_ruler.h"

#include <iterator>

namespace vantrel {

namespace {

constexpr int64_t kSecond = 30;
constexpr int64_t kMinute = 60 * kSecond;
constexpr int64_t kHour = 60 * kMinute;

// Round steps of frames, seconds, minutes and hours, each with the marks between its labels.
constexpr RulerSpacing kSpacings[] = {
    {1, 1},
    {2, 1},
    {5, 1},
    {10, 2},
    {15, 5},
    {kSecond, 5},
    {2 * kSecond, 10},
    {5 * kSecond, kSecond},
    {10 * kSecond, 2 * kSecond},
    {15 * kSecond, 5 * kSecond},
    {30 * kSecond, 5 * kSecond},
    {kMinute, 10 * kSecond},
    {2 * kMinute, 30 * kSecond},
    {5 * kMinute, kMinute},
    {10 * kMinute, 2 * kMinute},
    {15 * kMinute, 5 * kMinute},
    {30 * kMinute, 5 * kMinute},
    {kHour, 10 * kMinute},
    {2 * kHour, 30 * kMinute},
    {5 * kHour, kHour},
    {10 * kHour, 2 * kHour},
    {25 * kHour, 5 * kHour},
    {100 * kHour, 25 * kHour},
    {1000 * kHour, 250 * kHour},  // a length estimated past the longest programme
};

// Drop-frame labels: ten minutes hold 17982 frames; the first minute 1800, the nine after it
// 1798 each, their labels starting at ;02.
constexpr int64_t kTenMinutes = 10 * kMinute - 9 * 2;
constexpr int64_t kDroppedMinute = kMinute - 2;

}  // namespace

RulerSpacing ChooseRulerSpacing(double framesPerPixel, double labelPixels) {
    for (const RulerSpacing& s : kSpacings) {
        if (static_cast<double>(s.major) >= labelPixels * framesPerPixel) return s;
    }
    return kSpacings[std::size(kSpacings) - 1];
}

int64_t LabelPosition(int64_t frame, TimecodeStyle style) {
    if (style == TimecodeStyle::NonDropFrame || frame < 0) return frame;
    const int64_t tens = frame / kTenMinutes;
    const int64_t rest = frame % kTenMinutes;
    const int64_t minutes = rest < 2 ? 0 : (rest - 2) / kDroppedMinute;
    return frame + 18 * tens + 2 * minutes;
}

int64_t FrameOfLabel(int64_t position, TimecodeStyle style) {
    if (style == TimecodeStyle::NonDropFrame || position < 0) return position;
    const int64_t minutes = position / kMinute;
    int64_t within = position % kMinute;
    if (within < 2 && minutes % 10 != 0) within = 2;
    return minutes * kMinute + within - 2 * (minutes - minutes / 10);
}

}  // namespace vantrel
