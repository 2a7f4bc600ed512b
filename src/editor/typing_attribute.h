// The attribute given to the next typed character.
#pragma once

#include "editor/editing_context.h"
#include "editor/editor_view.h"

namespace vantrel {

// Takes up the attribute of the character left of the caret, or else of the cell at it (the
// default attribute when that cell is empty or absent).
void PickUpAttribute(EditingContext& context);

// Italics on or off for the next characters; the caret is made again to show it.
void ToggleItalics(EditingContext& context, EditorView& view);

// Underline on or off for the next characters.
void ToggleUnderline(EditingContext& context);

// The foreground colour of the next characters, 0 to 6 (white, green, blue, cyan, red, yellow,
// magenta: the colours a mid-row code sets); italics and underline stay as they are. Other
// numbers are ignored, as black text has no mid-row code.
void SetTypingColour(EditingContext& context, int colour);

}  // namespace vantrel
