#include "editor/caret_commands.h"

#include "editor/cell_classes.h"
#include "editor/typing_attribute.h"

namespace vantrel {

namespace {

enum class Render { No, Yes };

void MoveTo(EditingContext& context, EditorView& view, int row, int column, Render render) {
    if (row == context.caretRow && column == context.caretColumn) return;
    context.caretRow = row;
    context.caretColumn = column;
    PickUpAttribute(context);
    PlaceCaretAt(context, view);
    if (render == Render::Yes) Refresh(context, view);
}

const CaptionCell* CaretRowCells(const EditingContext& context) {
    return context.editCopy->cells[context.caretRow];
}

bool IsSeparator(uint8_t character) {
    return character == 0x20 || (character >= 0x01 && character <= 0x1F);
}

bool IsWordCharacter(uint8_t character) {
    return character != 0 && !IsSeparator(character);
}

}  // namespace

void CaretLeft(EditingContext& context, EditorView& view) {
    if (!context.Ready() || context.caretColumn == 0) return;
    MoveTo(context, view, context.caretRow, context.caretColumn - 1, Render::Yes);
}

void CaretRight(EditingContext& context, EditorView& view) {
    if (!context.Ready() || context.caretColumn == kScreenColumns) return;
    MoveTo(context, view, context.caretRow, context.caretColumn + 1, Render::Yes);
}

void CaretUp(EditingContext& context, EditorView& view) {
    if (!context.Ready() || context.caretRow == 0) return;
    MoveTo(context, view, context.caretRow - 1, context.caretColumn, Render::Yes);
}

void CaretDown(EditingContext& context, EditorView& view) {
    if (!context.Ready() || context.caretRow == kScreenRows - 1) return;
    MoveTo(context, view, context.caretRow + 1, context.caretColumn, Render::Yes);
}

void CaretToRunStart(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    const CaptionCell* cells = CaretRowCells(context);
    int c = context.caretColumn;
    while (c > 0 && !cells[c - 1].IsEmpty()) --c;
    MoveTo(context, view, context.caretRow, c, Render::No);
}

void CaretToRunEnd(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    const CaptionCell* cells = CaretRowCells(context);
    int c = context.caretColumn;
    while (c < kScreenColumns && !cells[c].IsEmpty()) ++c;
    MoveTo(context, view, context.caretRow, c, Render::No);
}

void ScreenHome(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            if (!context.editCopy->cells[r][c].IsEmpty()) {
                MoveTo(context, view, r, c, Render::Yes);
                return;
            }
        }
    }
}

void ScreenEnd(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    for (int r = kScreenRows - 1; r >= 0; --r) {
        for (int c = kScreenColumns - 1; c >= 0; --c) {
            if (!context.editCopy->cells[r][c].IsEmpty()) {
                MoveTo(context, view, r, c + 1, Render::Yes);
                return;
            }
        }
    }
}

void WordLeft(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    const CaptionCell* cells = CaretRowCells(context);
    int c = context.caretColumn;
    while (c > 0 && IsSeparator(cells[c - 1].character)) --c;
    while (c > 0 && IsWordCharacter(cells[c - 1].character)) --c;
    MoveTo(context, view, context.caretRow, c, Render::No);
}

void WordRight(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    const CaptionCell* cells = CaretRowCells(context);
    int c = context.caretColumn;
    while (c < kScreenColumns && IsSeparator(cells[c].character)) ++c;
    while (c < kScreenColumns && IsWordCharacter(cells[c].character)) ++c;
    while (c < kScreenColumns && IsSeparator(cells[c].character)) ++c;
    MoveTo(context, view, context.caretRow, c, Render::No);
}

}  // namespace vantrel
