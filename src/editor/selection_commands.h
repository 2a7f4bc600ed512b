// The commands on the selected text of the edit: extending the selection with the caret,
// styling, copying, cutting and pasting text, and moving the selected rows up and down. A
// refused command beeps once and changes nothing.
#pragma once

#include <cstdint>
#include <optional>

#include "editor/editing_context.h"
#include "editor/editor_view.h"
#include "editor/text_selection.h"

namespace vantrel {

// What is selected: nothing when the anchor is unset or at the caret.
std::optional<SelectionRange> Selection(const EditingContext& context);

// Before a caret movement with Shift held: the selection keeps its anchor, or begins at the
// caret.
void HoldAnchor(EditingContext& context);
void ClearSelection(EditingContext& context);

// From the first to the last non-empty cell of the screen.
void SelectAll(EditingContext& context, EditorView& view);

// Italics or underline (`bit`) on the selected characters, or off when all have it already.
void ToggleSelectionStyle(EditingContext& context, EditorView& view, uint8_t bit);
// The foreground colour of the selected characters, 0 to 6.
void ColourSelection(EditingContext& context, EditorView& view, int colour);

ClipText CopySelection(const EditingContext& context);
// Takes the selected text off; the caret goes where it began. False when nothing is selected.
bool DeleteSelection(EditingContext& context, EditorView& view);
// Puts `text` at the caret (over the selected text, which goes first).
bool PasteAtCaret(EditingContext& context, EditorView& view, const ClipText& text);

// Moves the rows the selection covers one row up (-1) or down (+1) together, the selection
// with them; refused where the row they would move into holds text or is off the screen.
void MoveSelectedRows(EditingContext& context, EditorView& view, int direction);

}  // namespace vantrel
