#include "editor/run_layout.h"

#include <algorithm>

#include "editor/cell_classes.h"

namespace vantrel {

void SpliceRow(CaptionCell* row, int from, int tailStart, int tailLength,
               std::span<const CaptionCell> head) {
    CaptionCell tail[kScreenColumns];
    std::copy(row + tailStart, row + tailStart + tailLength, tail);
    const int oldEnd = tailStart + tailLength;
    int at = from;
    for (const CaptionCell& cell : head) row[at++] = cell;
    for (int i = 0; i < tailLength; ++i) row[at++] = tail[i];
    for (; at < oldEnd; ++at) row[at] = {};
}

CellSpan LiftCells(CaptionCell* row, int start, int end) {
    CellSpan span;
    for (int c = start; c < end; ++c) {
        span.cells[span.length++] = row[c];
        row[c] = {};
    }
    return span;
}

void PutCells(CaptionCell* row, int start, const CellSpan& span) {
    std::copy(span.cells, span.cells + span.length, row + start);
}

int LeadingCodeCount(const CellSpan& span) {
    int count = 0;
    while (count < span.length && !IsCharacterCell(span.cells[count])) ++count;
    return count;
}

void ReplaceLeadingCodes(CellSpan& span, const CodeCells& codes) {
    const int leading = LeadingCodeCount(span);
    if (leading == span.length) return;
    CellSpan result;
    for (int i = 0; i < codes.count; ++i) result.cells[result.length++] = codes.cells[i];
    for (int i = leading; i < span.length && result.length < CellSpan::kCapacity; ++i) {
        result.cells[result.length++] = span.cells[i];
    }
    span = result;
}

int FitRunStart(CellSpan& run, int column) {
    const int leading = LeadingCodeCount(run);
    if (leading == run.length) return 0;
    const CodeCells needed = RunStartCodes(column, run.cells[leading].attribute);
    if (needed.count <= leading) return 0;
    ReplaceLeadingCodes(run, needed);
    return needed.count - leading;
}

}  // namespace vantrel
