// A caption screen as the text formats that place their text write it: blocks of adjacent rows,
// each row from its first to its last shown cell in runs of one attribute.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/caption.h"

namespace vantrel {

struct TextRun {
    uint8_t attribute = kDefaultAttribute;
    bool shown = true;  // false for cells that show nothing (the gaps between words placed apart)
    std::string utf8;   // an attribute code's cell is a space, as a receiver shows it
};

struct BlockRow {
    int row = 0;     // 0-14
    int column = 0;  // of the first shown cell
    int width = 0;   // cells up to and with the last shown one
    std::vector<TextRun> runs;
};

struct CaptionBlock {
    int firstRow = 0;
    int column = 0;  // the leftmost row's column
    int width = 0;   // from `column` to the right end of the widest row
    // Every row centred on the screen as the layout of cues centres them; the rows are then
    // written centred rather than by their columns.
    bool centred = false;
    std::vector<BlockRow> rows;
};

// The blocks of the caption's screen, from the top; none for a screen without a shown cell.
std::vector<CaptionBlock> CaptionBlocks(const Caption& caption);

// The 608 colours by number as the web names them (608 green is full green: "lime"), which
// are also the colour classes WebVTT players know.
constexpr const char* kWebColourNames[] = {"white", "lime",   "blue",    "cyan",
                                           "red",   "yellow", "magenta", "black"};

enum class Markup { SubRip, WebVtt };

// A run of a row in the markup of subtitles: its text (escaped for WebVTT) in the tags of its
// colour (<font color> or <c.name>), italics (<i>) and underline (<u>).
std::string MarkedUp(const TextRun& run, Markup markup);

}  // namespace vantrel
