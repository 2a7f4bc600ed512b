// Moving the run at the caret: sideways, to the centre, up and down. A move that does not fit
// beeps once and changes nothing.
#pragma once

#include "editor/editing_context.h"
#include "editor/editor_view.h"

namespace vantrel {

// Moves the run at the caret `columns` cells right (left when negative), keeping an empty cell
// between it and its neighbours; the caret moves with it. With no run at the caret, the caret
// alone moves.
void ShiftRun(EditingContext& context, EditorView& view, int columns);

// Moves the run at the caret to the middle of the row.
void CenterRun(EditingContext& context, EditorView& view);

// Moves the run at the caret one row up / down, pushing the runs in its way; the caret follows.
void RunUp(EditingContext& context, EditorView& view);
void RunDown(EditingContext& context, EditorView& view);

}  // namespace vantrel
