// Scenarist closed-caption text (.scc): timecode lines of hexadecimal byte pairs.
#pragma once

#include <cstdint>
#include <span>

#include "files/pair_stream.h"

namespace vantrel {

// Reads the text of an .scc file. Not recognized when the first line doesn't begin with
// "Scenarist_SCC " (a UTF-8 byte order mark before it is allowed).
CaptionFileData ReadSccText(std::span<const uint8_t> text);

}  // namespace vantrel
