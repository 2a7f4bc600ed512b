// The attribute-code cells that a run needs in front of its first character, and between two
// characters of different attributes. They are the cells that the code string's mid-row codes
// take when the screen is rendered back, so a screen built from them survives the round trip.
#pragma once

#include <cstdint>

#include "model/caption.h"

namespace vantrel {

struct CodeCells {
    int count = 0;
    CaptionCell cells[2] = {};
};

// The codes opening a run that starts at `column` with attribute `attribute`. Before column 4
// the row's preamble can carry a colour other than black, so fewer codes are needed there.
CodeCells RunStartCodes(int column, uint8_t attribute);

// The codes between a character of attribute `previous` and a following one of `next`. A
// change of background alone needs none.
CodeCells TransitionCodes(uint8_t previous, uint8_t next);

}  // namespace vantrel
