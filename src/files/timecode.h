// Frame numbers as time: the hh:mm:ss:ff timecodes of caption files and the timing report are
// frame labels at 30 per second; the hh:mm:ss,mmm times of subtitles are clock times.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "codec/encoder.h"

namespace vantrel {

// The last frame a reader places data on. Timecodes go up to 99:99:99:99, but a file is not
// allowed to make us build a pair stream longer than anything the encoder would write.
constexpr int64_t kMaxReadFrame = kMaxEncodedFrame;

// The frame of a caption-file timecode line (hh:mm:ss:ff non-drop-frame when character 8 is
// ':', hh:mm:ss;ff drop-frame when it is ';'), or nothing when the line is no timecode line
// (shorter than 12 characters, or another character at 8). A field that can't be read counts
// as 0, and so do the fields after it. The frame may be negative or huge; callers check it.
std::optional<int64_t> ParseTimecodeLine(std::string_view line);

// hh:mm:ss:ff, two digits at least, hours not wrapped. Frames before 0 are written as frame 0.
std::string FormatTimecode(int64_t frame);

// hh:mm:ss,mmm as SubRip writes it: the frame's real time at 30000/1001 frames per second,
// rounded to the nearest millisecond. Frames before 0 count as 0.
std::string FormatSubtitleTime(int64_t frame);

// The frame nearest to a clock time in milliseconds at 30000/1001 frames per second: the
// inverse of FormatSubtitleTime, so a time written for a frame reads back as that frame.
// Times before 0 give frame 0.
int64_t SubtitleTimeToFrame(int64_t milliseconds);

enum class TimecodeStyle {
    NonDropFrame,  // hh:mm:ss:ff, every frame number 30 to the second
    DropFrame,     // hh:mm:ss;ff, the labels of 29.97 video
};

// A frame as a timecode of the given style. Drop-frame only relabels frames: frame 1800 is
// 00:01:00;02, as ParseTimecodeLine reads it. Frames before 0 are written as frame 0.
std::string FormatTimecode(int64_t frame, TimecodeStyle style);

}  // namespace vantrel
