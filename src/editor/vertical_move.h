// Moving a run to the row above or below, pushing the runs in its way ahead of it.
#pragma once

#include "model/caption.h"

namespace vantrel {

// Moves the run(s) covering columns `from` to `to` of `row` one row up (`direction` -1) or
// down (+1), at the same columns. A run in the way on that row is first moved one row further
// the same way, and so on, like a stack. False, with nothing changed, when the edge of the
// screen stops the stack or an argument is out of range.
bool MoveRunVertically(Caption& caption, int row, int direction, int from, int to);

}  // namespace vantrel
