// Frame numbers as time: the hh:mm:ss:ff timecodes of caption files and the timing report, and
// the hh:mm:ss,mmm times of subtitles, all at exactly 30 frames per second.
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

// hh:mm:ss:ff, two digits at least, hours not wrapped.
std::string FormatTimecode(int64_t frame);

// hh:mm:ss,mmm as SubRip writes it.
std::string FormatSubtitleTime(int64_t frame);

}  // namespace vantrel
