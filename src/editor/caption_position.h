// Where the selected captions sit on the screen: the presets a captioner reaches for (the two
// bottom rows, the top rows, raised above a lower third, centred or at the left edge).
#pragma once

#include <span>

#include "editor/edit_history.h"

namespace vantrel {

inline constexpr const char* kPositionStep = "Position";

enum class Placement {
    Bottom,  // the lowest row of text on caption row 15, the rows above it as they were
    Top,     // the highest row of text on caption row 1
    Raise,   // every row `rows` rows higher
    Centre,  // each row's text in the middle of the row
    Left,    // each row's text from the first column
};

// In place; false, with nothing changed, when the text does not fit there.
bool PlaceCaption(Caption& caption, Placement placement, int rows = 0);

// The captions (in list order) placed as one step; the first caption that does not fit, with
// nothing changed, or null.
const Caption* PlaceCaptionsStep(EditHistory& history, std::span<Caption* const> captions,
                                 Placement placement, int rows = 0);

}  // namespace vantrel
