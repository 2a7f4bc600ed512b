// The commands that change the text: typing, deleting, joining a run to the row above and
// breaking a run onto the next row. A refused edit beeps once and changes nothing.
#pragma once

#include <cstdint>

#include "editor/editing_context.h"
#include "editor/editor_view.h"

namespace vantrel {

// Inserts `character` at the caret with the typing attribute and moves the caret after it; at
// the end of a row the last word goes on a new row (InsertWrapping). Returns false (after a
// beep) when it does not fit.
bool TypeCharacter(EditingContext& context, EditorView& view, uint8_t character);

// Deletes the character at the caret.
void DeleteForward(EditingContext& context, EditorView& view);

// Deletes the character before the caret; at the start of a run, joins the run to the end of
// the text of the row above.
void Backspace(EditingContext& context, EditorView& view);

// Moves the text after the caret to the next row, under the start of its run; with no text
// after the caret, the caret alone goes there. Where the next row has no room (or the caret is
// on the last row) the rows make room as for a wrap (OpenRowBelow).
void NewLine(EditingContext& context, EditorView& view);

}  // namespace vantrel
