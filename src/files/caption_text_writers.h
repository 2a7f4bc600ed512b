// The text formats of an encoded pair stream (odd parity on every byte, pair k for frame k):
// Scenarist closed-caption text and closed-caption disassembly.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/timecode.h"

namespace vantrel {

inline constexpr std::string_view kSccFileHeader = "Scenarist_SCC V1.0\r\n";
inline constexpr std::string_view kCcdFileHeader = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";

// The whole .scc file: the header, then per line a blank line, the timecode, a tab and the
// pairs as four hexadecimal digits separated by blanks.
std::string FormatSccText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame);

// The whole .ccd file: the header, then per line the timecode, a tab, and each pair as two
// characters or as a brace token.
std::string FormatCcdText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame);

}  // namespace vantrel
