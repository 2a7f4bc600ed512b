#include "files/timecode.h"

#include <algorithm>
#include <cstdio>

namespace vantrel {

namespace {

constexpr int64_t kMinuteLabels = 1800;
constexpr int64_t kDroppedMinute = kMinuteLabels - 2;
constexpr int64_t kTenMinutes = 10 * kMinuteLabels - 9 * 2;

// Two decimal digits at `at`, or -1.
int TwoDigits(std::string_view text, size_t at) {
    if (at + 2 > text.size()) return -1;
    const char a = text[at], b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return -1;
    return (a - '0') * 10 + (b - '0');
}

}  // namespace

const PictureRate* PictureRateNamed(std::string_view name) {
    for (const PictureRate& rate : kPictureRates) {
        if (rate.name == name) return &rate;
    }
    return nullptr;
}

std::string PictureRateNames() {
    std::string names;
    for (const PictureRate& rate : kPictureRates) {
        if (!names.empty()) names += &rate == std::end(kPictureRates) - 1 ? " or " : ", ";
        names += rate.name;
    }
    return names;
}

// Frame k's time is k x 1001/30000 s, picture p's p x den/num s; a frame goes in the picture
// nearest its time, round(k x 1001 num / 30000 den), the later one of two as near.
int64_t PictureOfFrame(int64_t frame, const PictureRate& rate) {
    if (frame <= 0) return frame;
    const int64_t perPicture = int64_t{kFrameRateNumerator} * rate.denominator;
    return (2 * frame * kFrameRateDenominator * rate.numerator + perPicture) / (2 * perPicture);
}

// The least k with 2k x 1001 num + 30000 den >= 2p x 30000 den.
int64_t FrameOfPicture(int64_t picture, const PictureRate& rate) {
    if (picture <= 0) return picture;
    const int64_t perFrame = 2 * int64_t{kFrameRateDenominator} * rate.numerator;
    return ((2 * picture - 1) * kFrameRateNumerator * rate.denominator + perFrame - 1) / perFrame;
}

bool StartsPicture(int64_t frame, const PictureRate& rate) {
    return FrameOfPicture(PictureOfFrame(frame, rate), rate) == frame;
}

std::optional<TimecodeLine> ParseTimecodeLine(std::string_view line, const PictureRate& rate) {
    // The hours: two digits, or three.
    size_t h = 0;
    int64_t hh = 0;
    while (h < 3 && h < line.size() && line[h] >= '0' && line[h] <= '9') {
        hh = hh * 10 + (line[h++] - '0');
    }
    if (h < 2 || h >= line.size() || line[h] != ':') return std::nullopt;
    const int mm = TwoDigits(line, h + 1);
    const int ss = TwoDigits(line, h + 4);
    const int ff = TwoDigits(line, h + 7);
    if (mm < 0 || mm >= 60 || ss < 0 || ss >= 60 || ff < 0) return std::nullopt;
    if (line[h + 3] != ':' || (line[h + 6] != ':' && line[h + 6] != ';')) return std::nullopt;
    const bool dropFrame = line[h + 6] == ';';

    TimecodeLine result;
    const size_t end = h + 9;
    if (end < line.size()) {
        const char after = line[end];
        if ((after >= '0' && after <= '9') || after == ':' || after == ';') return std::nullopt;
        result.data = line.substr(end + 1);
    }
    result.highFrameNumber = ff >= rate.labelsPerSecond;
    const int64_t label = ((hh * 60 + mm) * 60 + ss) * rate.labelsPerSecond + ff;
    result.frame =
        dropFrame && rate.dropFrame ? FrameOfDropFrameLabel(label) : FrameOfPicture(label, rate);
    return result;
}

std::optional<int64_t> ParseTypedFrames(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    int64_t sign = 1;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        sign = text.front() == '-' ? -1 : 1;
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789:;") != std::string_view::npos)
        return std::nullopt;
    if (text.find_first_of(":;") == std::string_view::npos) {
        if (text.size() > 9) return std::nullopt;  // past every frame a programme has
        int64_t frames = 0;
        for (char c : text) frames = frames * 10 + (c - '0');
        return sign * frames;
    }
    const std::optional<TimecodeLine> timecode = ParseTimecodeLine(text);
    if (!timecode || !timecode->data.empty()) return std::nullopt;
    return sign * timecode->frame;
}

namespace {

std::string FormatLabel(int64_t label, int64_t perSecond) {
    label = std::max<int64_t>(label, 0);
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld",
                  static_cast<long long>(label / (perSecond * 3600)),
                  static_cast<long long>(label / (perSecond * 60) % 60),
                  static_cast<long long>(label / perSecond % 60),
                  static_cast<long long>(label % perSecond));
    return text;
}

}  // namespace

std::string FormatTimecode(int64_t frame) {
    return FormatLabel(frame, 30);
}

std::string FormatSubtitleTime(int64_t frame) {
    // Frame n is shown at n x 1001 / 30 ms; the nearest millisecond keeps a caption an hour in
    // on its frame instead of 3.6 s early.
    constexpr int64_t kPerMs = kFrameRateNumerator / 1000;
    const int64_t ms = (std::max<int64_t>(frame, 0) * kFrameRateDenominator + kPerMs / 2) / kPerMs;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld",
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

int64_t SubtitleTimeToFrame(int64_t milliseconds) {
    if (milliseconds <= 0) return 0;
    // round(ms x 30 / 1001), in integers.
    constexpr int64_t kPerMs = kFrameRateNumerator / 1000;
    return (milliseconds * 2 * kPerMs + kFrameRateDenominator) / (2 * kFrameRateDenominator);
}

int64_t DropFrameLabel(int64_t frame) {
    if (frame < 0) return frame;
    const int64_t tens = frame / kTenMinutes;
    const int64_t rest = frame % kTenMinutes;
    // The first minute of ten keeps all its 1800 labels, the nine after it 1798 each.
    const int64_t minutes = rest < 2 ? 0 : (rest - 2) / kDroppedMinute;
    return frame + 18 * tens + 2 * minutes;
}

int64_t FrameOfDropFrameLabel(int64_t label) {
    if (label < 0) return label;
    const int64_t minutes = label / kMinuteLabels;
    return minutes / 10 * kTenMinutes + minutes % 10 * kDroppedMinute + label % kMinuteLabels;
}

std::string FormatTimecode(int64_t frame, TimecodeStyle style) {
    if (style == TimecodeStyle::NonDropFrame) return FormatTimecode(frame);
    std::string text = FormatTimecode(DropFrameLabel(std::max<int64_t>(frame, 0)));
    text[text.size() - 3] = ';';
    return text;
}

std::string FormatPictureTimecode(int64_t picture, TimecodeStyle style, const PictureRate& rate) {
    if (rate.dropFrame) return FormatTimecode(picture, style);
    return FormatLabel(picture, rate.labelsPerSecond);
}

std::string FormatTimecode(int64_t frame, TimecodeStyle style, const PictureRate& rate) {
    return FormatPictureTimecode(PictureOfFrame(std::max<int64_t>(frame, 0), rate), style, rate);
}

}  // namespace vantrel
