// Caption screens written as text for the tests, captions with text, and the first cell where
// two screens differ.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/caption.h"
#include "model/caption_list.h"

namespace vantrel::testing {

// Text written into a row from a column, every byte with one attribute; code bytes ("\x19")
// stand for attribute-code cells.
struct Put {
    int row;
    int column;
    std::string text;
    uint8_t attribute = kDefaultAttribute;
};
using Screen = std::vector<Put>;

inline void PutText(Caption& caption, int row, int column, const std::string& text,
                    uint8_t attribute = kDefaultAttribute) {
    for (char ch : text) caption.cells[row][column++] = {static_cast<uint8_t>(ch), attribute};
}

inline Caption MakeCaption(const Screen& screen) {
    Caption caption;
    for (const Put& p : screen) PutText(caption, p.row, p.column, p.text, p.attribute);
    return caption;
}

// A caption on frames `start` to `end` holding `text` at (`row`, `col`), inserted in `list`
// (which times the one before it by its loading time, `load` when known).
inline Caption* AddCaption(CaptionList& list, int32_t start, int32_t end,
                           std::string_view text = "", int row = 14, int col = 0,
                           int8_t mode = Manual, int32_t load = -1) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    c->loadFrames = load;
    PutText(*c, row, col, std::string(text));
    return list.Insert(std::move(c));
}

// The first cell, row by row, where two screens differ, or "" when they agree.
inline std::string FirstDifference(const Caption& a, const Caption& b) {
    for (int r = 0; r < kGridRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            const CaptionCell& x = a.cells[r][c];
            const CaptionCell& y = b.cells[r][c];
            if (!(x == y)) {
                char text[96];
                std::snprintf(text, sizeof text, "row %d col %d: %02X/%02X vs %02X/%02X", r, c,
                              x.character, x.attribute, y.character, y.attribute);
                return text;
            }
        }
    }
    return "";
}

}  // namespace vantrel::testing
