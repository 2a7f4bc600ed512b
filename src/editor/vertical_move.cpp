#include "editor/vertical_move.h"

#include "editor/cell_classes.h"
#include "editor/grid_queries.h"

namespace vantrel {

bool MoveRunVertically(Caption& caption, int row, int direction, int from, int to) {
    if (direction != -1 && direction != 1) return false;
    const int target = row + direction;
    if (!IsEditableRow(row) || !IsEditableRow(target)) return false;
    if (from < 0 || from > to || to > kScreenColumns) return false;

    const int start = RunStart(caption, row, from);
    const int end = RunEnd(caption, row, to);
    // The runs in the way cover every non-empty cell of start-1 .. end on the target row, so
    // once they have moved on, the span and its neighbours are free.
    if (!HasRoom(caption, target, start, end - start) &&
        !MoveRunVertically(caption, target, direction, start, end)) {
        return false;
    }
    for (int c = start; c < end; ++c) {
        caption.cells[target][c] = caption.cells[row][c];
        caption.cells[row][c] = {};
    }
    caption.loadFrames = -1;
    return true;
}

}  // namespace vantrel
