// Placing the text of a subtitle cue on the 15 x 32 caption screen, as a careful captioner
// does: the cue's own lines where they fit, else balanced lines wrapped at words; at most four
// rows on a screen, more becoming consecutive screens; rows at the bottom (or at the top),
// each centred; every change of colour, italics or underline taking a cell, as on a receiver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/code_string.h"

namespace vantrel {

// One line of cue text: caption characters and the attribute of each, and the place a
// timed-text document gave it on the screen, if any.
struct StyledLine {
    std::string characters;
    std::vector<uint8_t> attributes;
    int row = -1;     // 0-14; -1 when the line is laid out
    int column = -1;  // of its first character, 0-31
};

constexpr int kMaxCueRows = 4;

// One screen of a cue: the code string that loads it, and how many characters it shows (its
// share of the cue's time goes by that).
struct CueScreen {
    CodeString code;
    size_t textLength = 0;
};

// The screens of a cue, in order; none when the cue has no visible text. A cue whose lines all
// have a place is one screen with each line at its row and column (a line too long for its
// column moves left; two on one row take the next free rows), unless a line is wider than the
// screen: then the cue is laid out as one without places.
std::vector<CueScreen> LayOutCue(const std::vector<StyledLine>& lines, bool top);

}  // namespace vantrel
