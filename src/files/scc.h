// Scenarist closed-caption text (.scc): timecode lines of hexadecimal byte pairs.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/pair_stream.h"
#include "files/timecode.h"

namespace vantrel {

inline constexpr std::string_view kSccFileHeader = "Scenarist_SCC V1.0\r\n";

// Reads the text of an .scc file. Not recognized when the first line doesn't begin with
// "Scenarist_SCC " (a UTF-8 byte order mark before it is allowed).
CaptionFileData ReadSccText(std::span<const uint8_t> text);

// The whole .scc file of an encoded pair stream (odd parity on every byte, pair k for frame
// k): the header, then per line a blank line, the timecode, a tab and the pairs as four
// hexadecimal digits separated by blanks.
std::string FormatSccText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame);

}  // namespace vantrel
