// A run read as the characters it shows and laid out again with the attribute codes its
// characters need: the common step of restyling, deleting and pasting text inside a run.
#pragma once

#include <vector>

#include "model/caption.h"

namespace vantrel {

// One character of a run with the column it came from (-1: not from the row, as pasted text).
struct RunEntry {
    CaptionCell cell;
    int column = -1;
    bool blank = false;  // the space an attribute code showed; it takes the attribute before it
};

// The characters of cells [start, end) of a row. An attribute-code cell between two characters
// shows as a space and becomes one (in the attribute of the character before it); codes before
// the first and after the last character show nothing of their own and go.
std::vector<RunEntry> ReadRun(const CaptionCell* row, int start, int end);

// `entries` laid out from column `column` with the codes each change of attribute needs. A code
// takes the place of the spaces just before the character it leads into, or of that character
// when it is a space, so a restyle keeps what is seen where it was; codes are inserted only
// where no space can take them. `offsets[i]` is the index in `cells` that shows entry i.
struct LaidRun {
    std::vector<CaptionCell> cells;
    std::vector<int> offsets;
};
LaidRun LayOutRun(const std::vector<RunEntry>& entries, int column);

// Replaces the run at cells [start, end) of `row` by `laid`, laid out for column `laidFor`, so
// that entry `keep` stands at column `keepColumn` where the row allows (never right of
// `laidFor`: codes laid out for a column serve any column left of it), with an empty cell kept
// from the run before; `keep` -1 places the run at `laidFor`. Returns the column where the run
// now starts, or -1 with the row unchanged when it does not fit before the next run.
int PlaceRun(CaptionCell* row, int start, int end, const LaidRun& laid, int laidFor, int keep,
             int keepColumn);

}  // namespace vantrel
