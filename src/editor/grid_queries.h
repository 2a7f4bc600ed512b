// Queries on one row of the caption screen. A cell is empty here only when both of its bytes
// are zero. Every query answers 0 or false for a row outside 0-14 or a column outside 0-32.
#pragma once

#include "model/caption.h"

namespace vantrel {

// Where the run ending just left of column `column` begins (the column itself when the cell
// on its left is empty).
int RunStart(const Caption& caption, int row, int column);

// The first empty cell at or after `column`, or 32.
int RunEnd(const Caption& caption, int row, int column);

// One past the last non-empty cell left of `column`; 0 when there is none.
int ContentEnd(const Caption& caption, int row, int column);

// Whether `count` cells from `column` on are empty and keep an empty cell on either side
// (the screen edges count as empty).
bool HasRoom(const Caption& caption, int row, int column, int count);

}  // namespace vantrel
