#include "editor/selection_commands.h"

#include <algorithm>

#include "editor/cell_classes.h"
#include "editor/row_wrap.h"

namespace vantrel {

namespace {

constexpr uint8_t kForegroundBits = 0x07;

ScreenPoint Caret(const EditingContext& context) {
    return {context.caretRow, context.caretColumn};
}

void Restyle(EditingContext& context, EditorView& view, uint8_t keep, uint8_t set) {
    const std::optional<SelectionRange> range = Selection(context);
    if (!range) return;
    if (!RestyleRange(*context.editCopy, *range, keep, set)) {
        view.Beep();
        return;
    }
    Settle(context, view);
}

}  // namespace

std::optional<SelectionRange> Selection(const EditingContext& context) {
    if (!context.Ready() || !IsEditableRow(context.anchorRow)) return std::nullopt;
    return RangeBetween({context.anchorRow, context.anchorColumn}, Caret(context));
}

void HoldAnchor(EditingContext& context) {
    if (!context.Ready() || IsEditableRow(context.anchorRow)) return;
    context.anchorRow = context.caretRow;
    context.anchorColumn = context.caretColumn;
}

void ClearSelection(EditingContext& context) {
    if (context.anchorRow >= 0) context.needsRefresh = true;
    context.anchorRow = -1;
    context.anchorColumn = -1;
}

void SelectAll(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    const Caption& caption = *context.editCopy;
    std::optional<ScreenPoint> first;
    ScreenPoint last;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            if (caption.cells[r][c].IsEmpty()) continue;
            if (!first) first = ScreenPoint{r, c};
            last = {r, c + 1};
        }
    }
    if (!first) return;
    context.anchorRow = first->row;
    context.anchorColumn = first->column;
    context.caretRow = last.row;
    context.caretColumn = last.column;
    Settle(context, view);
}

void ToggleSelectionStyle(EditingContext& context, EditorView& view, uint8_t bit) {
    const std::optional<SelectionRange> range = Selection(context);
    if (!range) return;
    const bool off = AllSelectedHave(*context.editCopy, *range, bit);
    Restyle(context, view, static_cast<uint8_t>(~bit), off ? 0 : bit);
}

void ColourSelection(EditingContext& context, EditorView& view, int colour) {
    if (colour < 0 || colour > 6) return;
    Restyle(context, view, static_cast<uint8_t>(~kForegroundBits), static_cast<uint8_t>(colour));
}

ClipText CopySelection(const EditingContext& context) {
    const std::optional<SelectionRange> range = Selection(context);
    return range ? CopyRange(*context.editCopy, *range) : ClipText{};
}

bool DeleteSelection(EditingContext& context, EditorView& view) {
    const std::optional<SelectionRange> range = Selection(context);
    if (!range) return false;
    DeleteRange(*context.editCopy, *range);
    ClearSelection(context);
    context.caretRow = range->first.row;
    context.caretColumn = range->first.column;
    Settle(context, view);
    return true;
}

bool PasteAtCaret(EditingContext& context, EditorView& view, const ClipText& text) {
    if (!context.Ready() || text.Empty()) return false;
    Caption trial = *context.editCopy;
    const std::optional<SelectionRange> range = Selection(context);
    ScreenPoint where = Caret(context);
    if (range) {
        DeleteRange(trial, *range);
        where = range->first;
    }
    const std::optional<ScreenPoint> caret = PasteText(trial, where, text);
    if (!caret) {
        view.Beep();
        return false;
    }
    context.editCopy->TakeContent(trial);
    ClearSelection(context);
    context.caretRow = caret->row;
    context.caretColumn = caret->column;
    Settle(context, view);
    return true;
}

void MoveSelectedRows(EditingContext& context, EditorView& view, int direction) {
    const std::optional<SelectionRange> range = Selection(context);
    if (!range || (direction != -1 && direction != 1)) return;
    Caption& caption = *context.editCopy;
    const int first = range->first.row;
    // A selection that ends at the start of a row takes nothing of it.
    const int last =
        range->last.column == 0 && range->last.row > first ? range->last.row - 1 : range->last.row;
    const int into = direction < 0 ? first - 1 : last + 1;
    if (!IsEditableRow(into) || !RowIsEmpty(caption, into)) {
        view.Beep();
        return;
    }
    MoveRows(caption, first, last, direction);
    context.anchorRow += direction;
    context.caretRow += direction;
    Settle(context, view);
}

}  // namespace vantrel
