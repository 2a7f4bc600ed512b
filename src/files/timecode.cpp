#include "files/timecode.h"

#include <algorithm>
#include <cstdio>

namespace vantrel {

namespace {

constexpr size_t kDataColumn = 12;
constexpr size_t kFormColumn = 8;
// Field values are capped here while they are read, so that no digit string overflows; any
// value this large already puts the frame far past kMaxReadFrame.
constexpr int64_t kFieldCap = 100000000;

// Reads a decimal field at `pos` the way the C library's %d does (blanks, a sign, digits).
std::optional<int64_t> ReadField(std::string_view text, size_t& pos) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const size_t first = pos;
    int64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > kFieldCap) value = kFieldCap;
        ++pos;
    }
    if (pos == first) return std::nullopt;
    return negative ? -value : value;
}

}  // namespace

std::optional<int64_t> ParseTimecodeLine(std::string_view line) {
    if (line.size() < kDataColumn) return std::nullopt;
    const bool dropFrame = line[kFormColumn] == ';';
    if (!dropFrame && line[kFormColumn] != ':') return std::nullopt;

    int64_t fields[4] = {0, 0, 0, 0};
    size_t pos = 0;
    for (int k = 0; k < 4; ++k) {
        if (k > 0) {
            if (pos >= line.size() || (line[pos] != ':' && line[pos] != ';')) break;
            ++pos;
        }
        const std::optional<int64_t> value = ReadField(line, pos);
        if (!value) break;
        fields[k] = *value;
    }
    const int64_t hh = fields[0], mm = fields[1], ss = fields[2], ff = fields[3];
    if (!dropFrame) return ((hh * 60 + mm) * 60 + ss) * 30 + ff;
    // Drop-frame: two frame numbers are skipped each minute except every tenth minute, so ten
    // minutes hold 17982 frames and each minute after the tenth 1798.
    const int64_t tens = hh * 6 + mm / 10;
    return tens * 17982 + (mm % 10) * 1798 + ss * 30 + ff;
}

std::string FormatTimecode(int64_t frame) {
    frame = std::max<int64_t>(frame, 0);
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld",
                  static_cast<long long>(frame / 108000),
                  static_cast<long long>((frame / 1800) % 60),
                  static_cast<long long>((frame / 30) % 60), static_cast<long long>(frame % 30));
    return text;
}

std::string FormatSubtitleTime(int64_t frame) {
    // Frames run at 30000/1001 per second, so frame n is shown at n x 1001 / 30 ms; the
    // nearest millisecond keeps a caption an hour in on its frame instead of 3.6 s early.
    const int64_t ms = (std::max<int64_t>(frame, 0) * 1001 + 15) / 30;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld,%03lld",
                  static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return text;
}

int64_t SubtitleTimeToFrame(int64_t milliseconds) {
    if (milliseconds <= 0) return 0;
    // round(ms x 30 / 1001), in integers.
    return (milliseconds * 60 + 1001) / 2002;
}

std::string FormatTimecode(int64_t frame, TimecodeStyle style) {
    if (style == TimecodeStyle::NonDropFrame) return FormatTimecode(frame);
    frame = std::max<int64_t>(frame, 0);
    // Ten minutes hold 17982 frames: the first minute all 1800 labels, each of the nine
    // others 1798, their labels ;00 and ;01 of second 0 skipped.
    const int64_t tens = frame / 17982;
    const int64_t rest = frame % 17982;
    const int64_t minute = rest < 1800 ? 0 : (rest - 2) / 1798;
    const int64_t inMinute = rest - minute * 1798;
    char text[64];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld;%02lld",
                  static_cast<long long>(tens / 6), static_cast<long long>(tens % 6 * 10 + minute),
                  static_cast<long long>(inMinute / 30), static_cast<long long>(inMinute % 30));
    return text;
}

}  // namespace vantrel
