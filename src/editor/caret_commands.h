// Caret movement. A movement that would leave the caret where it is (at the edge of the screen
// or of a run) does nothing at all: no sound, and the typing attribute stays.
#pragma once

#include "editor/editing_context.h"
#include "editor/editor_view.h"

namespace vantrel {

void CaretLeft(EditingContext& context, EditorView& view);
void CaretRight(EditingContext& context, EditorView& view);
void CaretUp(EditingContext& context, EditorView& view);
void CaretDown(EditingContext& context, EditorView& view);

// To the start / the end of the run at the caret.
void CaretToRunStart(EditingContext& context, EditorView& view);
void CaretToRunEnd(EditingContext& context, EditorView& view);

// Before the first / after the last non-empty cell of the screen.
void ScreenHome(EditingContext& context, EditorView& view);
void ScreenEnd(EditingContext& context, EditorView& view);

// To the start of the word on the left / of the next word on the right; spaces and attribute
// codes separate words, and an empty cell stops the caret.
void WordLeft(EditingContext& context, EditorView& view);
void WordRight(EditingContext& context, EditorView& view);

}  // namespace vantrel
