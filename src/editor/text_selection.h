// A selection of text on the caption screen, from the anchor to the caret in reading order, and
// what is done to it: restyled, copied, deleted, and text pasted at the caret.
#pragma once

#include <cstdint>
#include <optional>

#include "editor/clip_text.h"
#include "model/caption.h"

namespace vantrel {

struct ScreenPoint {
    int row = 0;
    int column = 0;  // 0-32: before cell `column`
    friend auto operator<=>(const ScreenPoint&, const ScreenPoint&) = default;
};

// The cells from `first` up to `last` in reading order: from first.column on first.row, whole
// rows between, up to last.column on last.row.
struct SelectionRange {
    ScreenPoint first;
    ScreenPoint last;

    // The selected columns [from, to) of a row; from == to when none.
    int From(int row) const;
    int To(int row) const;
    bool Contains(int row, int column) const;
};

// The range between two points in either order; nothing when they are the same point.
std::optional<SelectionRange> RangeBetween(ScreenPoint anchor, ScreenPoint caret);

// The selected characters; the runs of a row are joined by a space, codes show as the spaces
// they are.
ClipText CopyRange(const Caption& caption, const SelectionRange& range);

// Gives the selected characters the attribute (attribute & keep) | set, with the codes the
// rows then need. False, with the caption unchanged, when a row has no room for them.
bool RestyleRange(Caption& caption, const SelectionRange& range, uint8_t keep, uint8_t set);

// The style change a toggle asks for: italics (or underline) on every selected character
// unless all of them have it already, then off.
bool AllSelectedHave(const Caption& caption, const SelectionRange& range, uint8_t bit);

// Takes the selected characters off; what follows on their row closes up.
void DeleteRange(Caption& caption, const SelectionRange& range);

// Inserts `text` at `at`: its first row into the run there, each further row on the next row of
// the screen under that run's start, and the rest of the run after the last row. Returns where
// the caret goes (after the text), or nothing with the caption unchanged when it does not fit.
std::optional<ScreenPoint> PasteText(Caption& caption, ScreenPoint at, const ClipText& text);

}  // namespace vantrel
