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

// One line of cue text: caption characters and the attribute of each.
struct StyledLine {
    std::string characters;
    std::vector<uint8_t> attributes;
};

constexpr int kMaxCueRows = 4;

// One screen of a cue: the code string that loads it, and how many characters it shows (its
// share of the cue's time goes by that).
struct CueScreen {
    CodeString code;
    size_t textLength = 0;
};

// The screens of a cue, in order; none when the cue has no visible text.
std::vector<CueScreen> LayOutCue(const std::vector<StyledLine>& lines, bool top);

}  // namespace vantrel
