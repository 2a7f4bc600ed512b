// Text that reaches the end of its row goes on a new row: the caption grows upwards from the
// bottom rows, as pop-on captions stand, and keeps to the rows a caption may have.
#pragma once

#include <cstdint>

#include "editor/text_selection.h"
#include "model/caption.h"

namespace vantrel {

// The rows a caption may have, as the delivery check's rows rule allows.
constexpr int kMostCaptionRows = 4;

// Whether a row has no cell that is not empty.
bool RowIsEmpty(const Caption& caption, int row);

// Moves rows `first` to `last` one row up (`direction` -1) or down (+1) together; the row they
// leave is cleared. The caller makes sure the row they move into is on the screen and empty.
void MoveRows(Caption& caption, int first, int last, int direction);

// Makes the row after `row` empty: it is already, or the block of rows that ends with `row`
// moves up one row (`row` with it), or else the rows below `row` move down one. Returns that
// row, or -1 with nothing moved when the screen's edges stop both.
int OpenRowBelow(Caption& caption, int& row);

// Types `character` in `attribute` at `caret` as InsertCharacter does. When the run there
// reaches the row's end (no run after it), its last word first goes to a new row under the
// run's start (OpenRowBelow), the caret with it when it stood in that word; a space typed at
// the very end only opens the row. The caption stays within kMostCaptionRows. Returns false,
// with nothing changed, when there is no room.
bool InsertWrapping(Caption& caption, uint8_t character, uint8_t attribute, ScreenPoint& caret);

}  // namespace vantrel
