// Closed-caption disassembly text (.ccd): timecode lines of characters and brace tokens.
#pragma once

#include <cstdint>
#include <span>

#include "files/pair_stream.h"

namespace vantrel {

// Reads the text of a .ccd file. Not recognized when the first line doesn't begin with
// "SCC_disassembly " (a UTF-8 byte order mark before it is allowed) or the file ends before
// its second line.
CaptionFileData ReadCcdText(std::span<const uint8_t> text);

}  // namespace vantrel
