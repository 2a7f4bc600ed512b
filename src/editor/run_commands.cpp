#include "editor/run_commands.h"

#include "editor/cell_classes.h"
#include "editor/grid_queries.h"
#include "editor/run_layout.h"
#include "editor/vertical_move.h"

namespace vantrel {

namespace {

constexpr int kCentreColumn = kScreenColumns / 2;

void MoveRun(EditingContext& context, EditorView& view, int direction) {
    if (!context.Ready()) return;
    if (!MoveRunVertically(*context.editCopy, context.caretRow, direction, context.caretColumn,
                           context.caretColumn)) {
        view.Beep();
        return;
    }
    context.caretRow += direction;
    PlaceCaretAt(context, view);
    Refresh(context, view);
}

}  // namespace

void ShiftRun(EditingContext& context, EditorView& view, int columns) {
    if (!context.Ready()) return;
    Caption& caption = *context.editCopy;
    const int row = context.caretRow;
    const int column = context.caretColumn;
    const int start = RunStart(caption, row, column);
    const int end = RunEnd(caption, row, column);
    if (start == end) {
        const int moved = column + columns;
        if (moved < 0 || moved > kScreenColumns) {
            view.Beep();
            return;
        }
        context.caretColumn = moved;
        Settle(context, view);
        return;
    }

    CaptionCell* cells = caption.cells[row];
    const CellSpan original = LiftCells(cells, start, end);
    CellSpan run = original;
    const int target = start + columns;
    const int added = target >= 0 && target <= kScreenColumns ? FitRunStart(run, target) : 0;
    if (!HasRoom(caption, row, target, run.length)) {
        PutCells(cells, start, original);
        view.Beep();
        return;
    }
    PutCells(cells, target, run);
    caption.loadFrames = -1;
    // Text moves on with the codes it gained in front of it; the run's start stays its start.
    int caret = column + columns;
    if (column > start && column >= start + LeadingCodeCount(original)) caret += added;
    context.caretColumn = caret;
    Settle(context, view);
}

void CenterRun(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    const Caption& caption = *context.editCopy;
    const int start = RunStart(caption, context.caretRow, context.caretColumn);
    const int end = RunEnd(caption, context.caretRow, context.caretColumn);
    int target = kCentreColumn - (end - start + 1) / 2;
    if (end > start) {
        // Centre the run as long as it will be where it lands, codes it gains there included.
        const CaptionCell* cells = caption.cells[context.caretRow];
        CellSpan run;
        for (int c = start; c < end; ++c) run.cells[run.length++] = cells[c];
        if (target >= 0) FitRunStart(run, target);
        target = kCentreColumn - (run.length + 1) / 2;
    }
    ShiftRun(context, view, target - start);
}

void RunUp(EditingContext& context, EditorView& view) {
    MoveRun(context, view, -1);
}

void RunDown(EditingContext& context, EditorView& view) {
    MoveRun(context, view, +1);
}

}  // namespace vantrel
