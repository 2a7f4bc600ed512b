// Text taken off the caption screen, in the attributes it had, and its two forms on the
// clipboard: the cells themselves, for pasting into a caption, and plain text for others.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/caption.h"

namespace vantrel {

// One list of characters a row, none of them an attribute code and no row empty.
struct ClipText {
    std::vector<std::vector<CaptionCell>> rows;
    bool Empty() const { return rows.empty(); }
};

// Per row: its length (1-32) and then character and attribute of each cell.
std::string EncodeClipText(const ClipText& text);
// Reads what EncodeClipText wrote; anything else (a short row, an attribute code, more than 15
// rows or 32 cells) gives nothing.
ClipText DecodeClipText(std::string_view bytes);

// The rows as UTF-8 lines, LF between them.
std::string ClipTextToUtf8(const ClipText& text);
// UTF-8 text in `attribute`: a row per line, characters the caption set lacks left out, tabs as
// spaces, empty lines skipped, each row cut at 32 characters.
ClipText ClipTextFromUtf8(std::string_view utf8, uint8_t attribute);

}  // namespace vantrel
