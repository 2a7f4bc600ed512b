// Closed-caption disassembly text (.ccd): timecode lines of characters and brace tokens.
// Text in .ccd lines is Windows-1252, as the format defines it.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "files/pair_stream.h"
#include "files/timecode.h"

namespace vantrel {

inline constexpr std::string_view kCcdFileHeader = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";

// Reads the text of a .ccd file. Not recognized when the first line doesn't begin with
// "SCC_disassembly " (a UTF-8 byte order mark before it is allowed) or the file ends before
// its second line. Once `cancel` is raised the reading stops where it is; the caller discards
// what was read.
CaptionFileData ReadCcdText(std::span<const uint8_t> text,
                            const std::atomic<int>* cancel = nullptr);

// The whole .ccd file of an encoded pair stream (odd parity on every byte, pair k for frame
// k): the header, then per line the timecode, a tab, and each pair as two characters or as a
// brace token. Cut short once `cancel` is raised.
std::string FormatCcdText(std::span<const uint8_t> stream,
                          TimecodeStyle style = TimecodeStyle::NonDropFrame,
                          const std::atomic<int>* cancel = nullptr);

}  // namespace vantrel
