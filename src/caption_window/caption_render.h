// Drawing a caption screen into the caption window's image, and the region of the caption
// boxes that the video picture must leave open.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <optional>

#include "model/caption.h"

namespace vantrel {

// Screen geometry in window pixels.
constexpr int kScreenWidth = 480;
constexpr int kScreenHeight = 360;
constexpr int kCellPitchX = 12;
constexpr int kCellPitchY = 19;
constexpr int kTextLeft = 48;  // left edge of the box of column 0
constexpr int kTextTop = 38;   // top edge of the box of row 0
constexpr int kTextRight = 444;

// The box of cell (row, column); column -1 and 32 are the edge boxes left and right of a row.
constexpr QRect CellBox(int row, int column) {
    return QRect(kTextLeft + kCellPitchX * column, kTextTop + kCellPitchY * row, kCellPitchX,
                 kCellPitchY);
}

// Draws `caption` into `image` (480 x 360, 32-bit): black everywhere, every run of text on its
// background with one edge box before and after it. Returns the whole window minus the boxes,
// or nothing (and draws nothing) for a caption whose screen is not valid.
std::optional<QRegion> RenderCaption(const Caption& caption, QImage& image);

// A red zigzag along the foot of the cells of a row from `column`, as under a misspelled word.
void UnderlineCells(QImage& image, int row, int column, int length);

// The cells of a row from `column` up to `end` in reverse video, leaving empty cells alone.
void InvertCells(const Caption& caption, QImage& image, int row, int column, int end);

}  // namespace vantrel
