#include "editor/row_wrap.h"

#include <algorithm>

#include "editor/attribute_codes.h"
#include "editor/cell_classes.h"
#include "editor/character_edit.h"
#include "editor/grid_queries.h"
#include "editor/run_layout.h"

namespace vantrel {

namespace {

constexpr uint8_t kSpace = 0x20;

bool IsWordCell(const CaptionCell& cell) {
    return IsCharacterCell(cell) && cell.character != kSpace;
}

bool IsBlankCell(const CaptionCell& cell) {
    return IsAttributeCodeCell(cell) || cell.character == kSpace;
}

}  // namespace

bool RowIsEmpty(const Caption& caption, int row) {
    return std::all_of(std::begin(caption.cells[row]), std::end(caption.cells[row]),
                       [](const CaptionCell& cell) { return cell.IsEmpty(); });
}

void MoveRows(Caption& caption, int first, int last, int direction) {
    if (direction < 0) {
        for (int r = first; r <= last; ++r) {
            std::copy_n(caption.cells[r], kScreenColumns, caption.cells[r - 1]);
        }
        std::fill_n(caption.cells[last], kScreenColumns, CaptionCell{});
    } else {
        for (int r = last; r >= first; --r) {
            std::copy_n(caption.cells[r], kScreenColumns, caption.cells[r + 1]);
        }
        std::fill_n(caption.cells[first], kScreenColumns, CaptionCell{});
    }
    caption.loadFrames = -1;
}

int OpenRowBelow(Caption& caption, int& row) {
    if (!IsEditableRow(row)) return -1;
    if (row + 1 < kScreenRows && RowIsEmpty(caption, row + 1)) return row + 1;
    int top = row;
    while (top > 0 && !RowIsEmpty(caption, top - 1)) --top;
    if (top > 0) {
        MoveRows(caption, top, row, -1);
        return row--;
    }
    int bottom = row + 1;
    while (bottom + 1 < kScreenRows && !RowIsEmpty(caption, bottom + 1)) ++bottom;
    if (bottom + 1 >= kScreenRows) return -1;
    MoveRows(caption, row + 1, bottom, +1);
    return row + 1;
}

bool InsertWrapping(Caption& caption, uint8_t character, uint8_t attribute, ScreenPoint& caret) {
    if (!IsEditableRow(caret.row) || caret.column < 0 || caret.column > kScreenColumns) {
        return false;
    }
    const int typed = InsertCharacter(caption, character, caret.row, caret.column, attribute);
    if (typed != 0) {
        caret.column = typed;
        return true;
    }
    const int start = RunStart(caption, caret.row, caret.column);
    const int end = RunEnd(caption, caret.row, caret.column);
    for (int c = end; c < kScreenColumns; ++c) {
        if (!caption.cells[caret.row][c].IsEmpty()) return false;  // another run is in the way
    }
    if (caption.CountOccupiedRows() >= kMostCaptionRows) return false;

    Caption trial = caption;
    ScreenPoint at = caret;
    const int newRow = OpenRowBelow(trial, at.row);
    if (newRow < 0) return false;
    CaptionCell* cells = trial.cells[at.row];
    int word = end;
    while (word > start && IsWordCell(cells[word - 1])) --word;
    // A word as long as the row cannot move: what follows the caret goes instead.
    if (word == start) word = std::max(caret.column, start);
    const bool caretMoves = caret.column >= word;
    CellSpan moved = LiftCells(cells, word, end);
    int blanks = word;  // the spaces and codes that led into the word go with the break
    while (blanks > start && IsBlankCell(cells[blanks - 1])) --blanks;
    LiftCells(cells, blanks, word);
    int leading = 0;
    if (moved.length > 0) {
        const int before = LeadingCodeCount(moved);
        if (before < moved.length) {
            ReplaceLeadingCodes(moved, RunStartCodes(start, moved.cells[before].attribute));
            leading = LeadingCodeCount(moved) - before;
        }
        PutCells(trial.cells[newRow], start, moved);
    }
    if (caretMoves) {
        at = {newRow, start + leading + (caret.column - word)};
    } else {
        at.column = std::min(caret.column, blanks);
    }
    trial.loadFrames = -1;
    // A space at the break is the break itself.
    if (!(character == kSpace && caretMoves && caret.column == end)) {
        const int column = InsertCharacter(trial, character, at.row, at.column, attribute);
        if (column == 0) return false;
        at.column = column;
    }
    caption.TakeContent(trial);
    caret = at;
    return true;
}

}  // namespace vantrel
