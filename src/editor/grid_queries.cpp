#include "editor/grid_queries.h"

#include "editor/cell_classes.h"

namespace vantrel {

namespace {
bool InRange(int row, int column) {
    return IsEditableRow(row) && column >= 0 && column <= kScreenColumns;
}
}  // namespace

int RunStart(const Caption& caption, int row, int column) {
    if (!InRange(row, column)) return 0;
    const CaptionCell* cells = caption.cells[row];
    int start = column;
    while (start > 0 && !cells[start - 1].IsEmpty()) --start;
    return start;
}

int RunEnd(const Caption& caption, int row, int column) {
    if (!InRange(row, column)) return 0;
    const CaptionCell* cells = caption.cells[row];
    int end = column;
    while (end < kScreenColumns && !cells[end].IsEmpty()) ++end;
    return end;
}

int ContentEnd(const Caption& caption, int row, int column) {
    if (!InRange(row, column)) return 0;
    const CaptionCell* cells = caption.cells[row];
    int end = column;
    while (end > 0 && cells[end - 1].IsEmpty()) --end;
    return end;
}

bool HasRoom(const Caption& caption, int row, int column, int count) {
    if (!InRange(row, column) || count < 0 || column + count > kScreenColumns) return false;
    const CaptionCell* cells = caption.cells[row];
    const int first = column > 0 ? column - 1 : column;
    const int last = column + count < kScreenColumns ? column + count : kScreenColumns - 1;
    for (int c = first; c <= last; ++c) {
        if (!cells[c].IsEmpty()) return false;
    }
    return true;
}

}  // namespace vantrel
