// Lifting cells off a row and laying them down again, with the attribute codes a run needs at
// the place where it lands.
#pragma once

#include <span>

#include "editor/attribute_codes.h"
#include "model/caption.h"

namespace vantrel {

// Cells taken off a row, in order; room for a full row and the two codes a run can gain.
struct CellSpan {
    static constexpr int kCapacity = kScreenColumns + 2;
    CaptionCell cells[kCapacity] = {};
    int length = 0;
};

// Replaces the cells from `from` up to `tailStart` by `head`, moves the `tailLength` cells at
// `tailStart` to follow it and clears the cells that the tail leaves behind. The caller makes
// sure that everything fits in the row.
void SpliceRow(CaptionCell* row, int from, int tailStart, int tailLength,
               std::span<const CaptionCell> head);

// Copies cells [start, end) of a row and clears them there.
CellSpan LiftCells(CaptionCell* row, int start, int end);

// Writes the cells of `span` into a row from `start` on.
void PutCells(CaptionCell* row, int start, const CellSpan& span);

// The number of attribute-code cells in front of the first character cell; the whole length
// when there is no character cell.
int LeadingCodeCount(const CellSpan& span);

// Replaces the attribute-code cells in front of the first character with `codes`. A span
// without a character cell is left as it is.
void ReplaceLeadingCodes(CellSpan& span, const CodeCells& codes);

// A run whose opening codes were chosen for a start before column 4 lacks codes when it lands
// further right; this gives it the codes it needs at `column`. Returns the number of cells added.
int FitRunStart(CellSpan& run, int column);

}  // namespace vantrel
