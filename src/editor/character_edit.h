// Typing a character into a row and deleting one, keeping the attribute codes around it in
// step with the attributes of the characters.
#pragma once

#include <cstdint>

#include "model/caption.h"

namespace vantrel {

// Inserts `character` with `attribute` before cell `column` of `row`, pushing the rest of the
// run right. Returns the column after the new character, or 0 when it is refused: column 32,
// a byte that is not a caption character, or a run that would grow into the empty cell that
// keeps it apart from the next run or off the row.
int InsertCharacter(Caption& caption, uint8_t character, int row, int column, uint8_t attribute);

// Deletes the character at or after `column` (skipping attribute codes) and the codes that led
// into it, pulling the rest of the run left. Returns the column where the deletion began, or
// -1 when it is refused (an empty cell, or a column outside the row).
int DeleteCharacter(Caption& caption, int row, int column);

}  // namespace vantrel
