#include "editor/edit_commands.h"

#include "editor/attribute_codes.h"
#include "editor/cell_classes.h"
#include "editor/character_edit.h"
#include "editor/grid_queries.h"
#include "editor/row_wrap.h"
#include "editor/run_layout.h"

namespace vantrel {

namespace {

// Moves the run at the caret to the end of the row above, directly after its last cell; the
// codes that opened the run give way to those that lead from the character before it.
bool JoinToPreviousRow(EditingContext& context) {
    const int row = context.caretRow;
    if (row == 0) return false;
    Caption& caption = *context.editCopy;
    const int start = RunStart(caption, row, context.caretColumn);
    const int end = RunEnd(caption, row, context.caretColumn);
    const int contentEnd = ContentEnd(caption, row - 1, kScreenColumns);
    if (contentEnd < 1) return false;

    CaptionCell* above = caption.cells[row - 1];
    CaptionCell* cells = caption.cells[row];
    CellSpan run;
    for (int c = start; c < end; ++c) run.cells[run.length++] = cells[c];
    int joinStart = contentEnd;
    const int leading = LeadingCodeCount(run);
    if (leading < run.length) {
        const uint8_t attribute = run.cells[leading].attribute;
        int k = contentEnd - 1;
        while (k >= 0 && IsAttributeCodeCell(above[k])) --k;
        joinStart = k + 1;
        const bool afterCharacter = k >= 0 && IsCharacterCell(above[k]);
        ReplaceLeadingCodes(run, afterCharacter ? TransitionCodes(above[k].attribute, attribute)
                                                : RunStartCodes(joinStart, attribute));
    }
    if (joinStart + run.length > kScreenColumns) return false;

    for (int c = joinStart; c < contentEnd; ++c) above[c] = {};
    LiftCells(cells, start, end);
    PutCells(above, joinStart, run);
    caption.loadFrames = -1;
    context.caretRow = row - 1;
    context.caretColumn = joinStart;
    return true;
}

}  // namespace

bool TypeCharacter(EditingContext& context, EditorView& view, uint8_t character) {
    if (!context.Ready()) return false;
    ScreenPoint caret{context.caretRow, context.caretColumn};
    const int rows = context.editCopy->CountOccupiedRows();
    if (!InsertWrapping(*context.editCopy, character, context.typingAttribute, caret)) {
        view.Beep();
        return false;
    }
    context.needsRefresh = true;
    const bool wrapped =
        caret.row != context.caretRow || context.editCopy->CountOccupiedRows() != rows;
    context.caretRow = caret.row;
    context.caretColumn = caret.column;
    if (wrapped) {
        // The rows moved: the caret is placed anew, in the attribute it had.
        PlaceCaretAt(context, view);
    } else {
        view.MoveCaret(caret.row, caret.column);
    }
    view.ShowCaption();
    return true;
}

void DeleteForward(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    Caption& caption = *context.editCopy;
    const int start = DeleteCharacter(caption, context.caretRow, context.caretColumn);
    if (start < 0) {
        view.Beep();
        return;
    }
    const CaptionCell* cells = caption.cells[context.caretRow];
    int c = start;
    while (c < kScreenColumns && IsAttributeCodeCell(cells[c])) ++c;
    context.caretColumn = c;
    Settle(context, view);
}

void Backspace(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    Caption& caption = *context.editCopy;
    const CaptionCell* cells = caption.cells[context.caretRow];
    int k = context.caretColumn - 1;
    while (k >= 0 && IsAttributeCodeCell(cells[k])) --k;
    if (k >= 0 && IsCharacterCell(cells[k])) {
        const int start = DeleteCharacter(caption, context.caretRow, k);
        if (start < 0) {
            view.Beep();
            return;
        }
        context.caretColumn = start;
    } else if (!JoinToPreviousRow(context)) {
        view.Beep();
        return;
    }
    Settle(context, view);
}

void NewLine(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    Caption trial = *context.editCopy;
    int row = context.caretRow;
    const int column = context.caretColumn;
    const int start = RunStart(trial, row, column);
    const int end = RunEnd(trial, row, column);
    const CaptionCell* cells = trial.cells[row];
    int first = column;  // the first character after the caret
    while (first < end && !IsCharacterCell(cells[first])) ++first;

    // The moved text opens a run of its own, so it takes the codes a run needs there; the codes
    // that led into it stay behind with nothing to lead into, so they go.
    CellSpan moved;
    if (first < end) {
        for (int c = first; c < end; ++c) moved.cells[moved.length++] = cells[c];
        ReplaceLeadingCodes(moved, RunStartCodes(start, cells[first].attribute));
    }
    int target = row + 1;
    if (target >= kScreenRows || !HasRoom(trial, target, start, moved.length)) {
        // The caption grows upwards to make the row, within the rows a caption may have.
        const bool newTextRow = moved.length > 0 || target >= kScreenRows;
        if (newTextRow && trial.CountOccupiedRows() >= kMostCaptionRows) target = -1;
        if (target >= 0) target = OpenRowBelow(trial, row);
        if (target < 0) {
            view.Beep();
            return;
        }
    }
    if (moved.length > 0) {
        CaptionCell* from = trial.cells[row];
        int keep = column;
        while (keep > start && IsAttributeCodeCell(from[keep - 1])) --keep;
        LiftCells(from, keep, end);
        PutCells(trial.cells[target], start, moved);
    }
    trial.loadFrames = -1;
    context.editCopy->TakeContent(trial);
    context.caretRow = target;
    context.caretColumn = start;
    Settle(context, view);
}

}  // namespace vantrel
