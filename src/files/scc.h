// Scenarist closed-caption text (.scc): timecode lines of hexadecimal byte pairs.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/pair_stream.h"
#include "files/timecode.h"

namespace vantrel {

inline constexpr std::string_view kSccFileHeader = "Scenarist_SCC V1.0\r\n";

// Reads the text of an .scc file whose timecodes name pictures of `rate`, each line's pairs
// on the caption frames from the first its picture carries. Not recognized when the first
// line doesn't begin with "Scenarist_SCC " (a UTF-8 byte order mark before it is allowed).
// Once `cancel` is raised the reading stops where it is; the caller discards what was read.
CaptionFileData ReadSccText(std::span<const uint8_t> text, const std::atomic<int>* cancel = nullptr,
                            const PictureRate& rate = kCaptionRate);

// The whole .scc file of an encoded pair stream (odd parity on every byte, pair k for frame
// k): the header, then per line a blank line, the timecode of the picture of `rate` that
// carries its first pair, a tab and the pairs as four hexadecimal digits separated by blanks.
// Cut short once `cancel` is raised.
std::string FormatSccText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame,
                          const std::atomic<int>* cancel = nullptr,
                          const PictureRate& rate = kCaptionRate);

}  // namespace vantrel
