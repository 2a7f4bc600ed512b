#include "editor/character_edit.h"

#include "editor/attribute_codes.h"
#include "editor/cell_classes.h"
#include "editor/run_layout.h"

namespace vantrel {

namespace {

// What stands left of a column once the attribute codes there are passed over.
struct LeftSide {
    int start = 0;         // first cell that the edit rewrites
    bool runStart = true;  // no character before it in the run
    uint8_t previous = kDefaultAttribute;
};

LeftSide ScanLeft(const CaptionCell* cells, int column) {
    int k = column - 1;
    while (k >= 0 && IsAttributeCodeCell(cells[k])) --k;
    if (k >= 0 && IsCharacterCell(cells[k])) return {k + 1, false, cells[k].attribute};
    // Codes that reach column 0 open the run and are rewritten with it.
    return {k + 1, true, kDefaultAttribute};
}

int SkipCodes(const CaptionCell* cells, int column) {
    while (column < kScreenColumns && IsAttributeCodeCell(cells[column])) ++column;
    return column;
}

int TailEnd(const CaptionCell* cells, int tailStart) {
    int end = tailStart;
    while (end < kScreenColumns && cells[end].character != 0) ++end;
    return end;
}

// How far a run ending at `tailEnd` may reach: one empty cell must stay before the next run.
int Limit(const CaptionCell* cells, int tailEnd) {
    for (int m = tailEnd; m < kScreenColumns; ++m) {
        if (!cells[m].IsEmpty()) return m - 1;
    }
    return kScreenColumns;
}

void Append(CaptionCell* out, int& n, const CodeCells& codes) {
    for (int i = 0; i < codes.count; ++i) out[n++] = codes.cells[i];
}

}  // namespace

int InsertCharacter(Caption& caption, uint8_t character, int row, int column, uint8_t attribute) {
    if (!IsEditableRow(row) || column < 0 || column >= kScreenColumns) return 0;
    if (!IsCaptionCharacter(character)) return 0;
    CaptionCell* cells = caption.cells[row];

    const LeftSide left = ScanLeft(cells, column);
    const CodeCells before = left.runStart ? RunStartCodes(left.start, attribute)
                                           : TransitionCodes(left.previous, attribute);
    int tailStart = column;
    uint8_t next = attribute;
    const int t = SkipCodes(cells, column);
    if (t < kScreenColumns && IsCharacterCell(cells[t])) {
        tailStart = t;
        next = cells[t].attribute;
    }
    const int tailEnd = TailEnd(cells, tailStart);
    const CodeCells after = TransitionCodes(attribute, next);

    CaptionCell head[5];
    int headLength = 0;
    Append(head, headLength, before);
    head[headLength++] = {character, attribute};
    Append(head, headLength, after);
    if (left.start + headLength + (tailEnd - tailStart) > Limit(cells, tailEnd)) return 0;

    SpliceRow(cells, left.start, tailStart, tailEnd - tailStart, {head, size_t(headLength)});
    caption.loadFrames = -1;
    return left.start + before.count + 1;
}

int DeleteCharacter(Caption& caption, int row, int column) {
    if (!IsEditableRow(row) || column < 0 || column >= kScreenColumns) return -1;
    CaptionCell* cells = caption.cells[row];
    if (cells[column].character == 0) return -1;

    const LeftSide left = ScanLeft(cells, column);
    uint8_t next = left.previous;
    int tailStart;
    const int j = SkipCodes(cells, column);
    if (j < kScreenColumns && IsCharacterCell(cells[j])) {
        const int m = SkipCodes(cells, j + 1);
        if (m < kScreenColumns && IsCharacterCell(cells[m])) {
            tailStart = m;
            next = cells[m].attribute;
        } else {
            tailStart = j + 1;
        }
    } else {
        // Codes that no character follows change nothing on screen: they go.
        tailStart = j;
    }
    const int tailEnd = TailEnd(cells, tailStart);
    const CodeCells codes =
        left.runStart ? RunStartCodes(left.start, next) : TransitionCodes(left.previous, next);
    if (left.start + codes.count + (tailEnd - tailStart) > Limit(cells, tailEnd)) return -1;

    SpliceRow(cells, left.start, tailStart, tailEnd - tailStart,
              {codes.cells, size_t(codes.count)});
    caption.loadFrames = -1;
    return left.start;
}

}  // namespace vantrel
