// The words a person reads on a caption, for spelling: runs of letters on a row, an apostrophe
// between two letters inside the word ("don't"). A run that touches a digit is no word to spell
// ("4th", "MP3"); a hyphen, a space or an attribute code ends a word.
#pragma once

#include <string>
#include <vector>

#include "check/speller.h"
#include "model/caption.h"

namespace vantrel {

struct CaptionWord {
    int row = 0;       // 0-14
    int column = 0;    // its first cell
    int length = 0;    // the cells it covers
    std::string text;  // UTF-8, a typographic apostrophe written as '
};

// Row by row, left to right.
std::vector<CaptionWord> CaptionWords(const Caption& caption);

// The words of the caption that the speller does not know, in the same order.
std::vector<CaptionWord> MisspelledWords(const Caption& caption, const Speller& speller);

}  // namespace vantrel
