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

}  // namespace

RulerSpacing ChooseRulerSpacing(double framesPerPixel, double labelPixels) {
    for (const RulerSpacing& s : kSpacings) {
        if (static_cast<double>(s.major) >= labelPixels * framesPerPixel) return s;
    }
    return kSpacings[std::size(kSpacings) - 1];
}

int64_t LabelPosition(int64_t frame, TimecodeStyle style) {
    if (style == TimecodeStyle::NonDropFrame) return frame;
    return DropFrameLabel(frame);
}

int64_t FrameOfLabel(int64_t position, TimecodeStyle style) {
    if (style == TimecodeStyle::NonDropFrame || position < 0) return position;
    // A skipped label stands for the first frame of its minute.
    const int64_t minutes = position / kMinute;
    if (position % kMinute < 2 && minutes % 10 != 0) position = minutes * kMinute + 2;
    return FrameOfDropFrameLabel(position);
}

}  // namespace vantrel
