// Where the 15 x 32 caption grid lies on the picture, for the formats that place text by
// percentages of it (TTML regions, WebVTT cue settings): in the middle 80% of the height and of
// the width of a 4:3 picture, the title-safe area where receivers show line 21 captions, which on
// a 16:9 picture is kept within its middle 4:3 part.
#pragma once

#include <algorithm>
#include <cmath>

#include "model/caption.h"

namespace vantrel {

struct CaptionGrid {
    double left = 0, top = 0;  // percent of the picture's width and height
    double columnWidth = 0, rowHeight = 0;

    double ColumnX(double column) const { return left + column * columnWidth; }
    double RowY(double row) const { return top + row * rowHeight; }
    // The nearest column (0-32) and row (0-15) edge to a percentage.
    int ColumnAt(double x) const {
        return std::clamp(static_cast<int>(std::lround((x - left) / columnWidth)), 0,
                          kScreenColumns);
    }
    int RowAt(double y) const {
        return std::clamp(static_cast<int>(std::lround((y - top) / rowHeight)), 0, kScreenRows);
    }
};

constexpr CaptionGrid GridOf(bool widescreen) {
    const double width = widescreen ? 75.0 : 100.0;  // the 4:3 part, in percent of the picture
    return {(100.0 - width) / 2 + width * 0.1, 10.0, width * 0.8 / kScreenColumns,
            80.0 / kScreenRows};
}

}  // namespace vantrel
