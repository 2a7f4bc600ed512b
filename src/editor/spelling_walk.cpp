#include "editor/spelling_walk.h"

#include <tuple>

#include "check/caption_words.h"

namespace vantrel {

TextMatch NextMisspelled(const CaptionList& list, const Speller& speller, const TextMatch& from) {
    for (Caption* c = from.caption != nullptr ? from.caption : list.Head(); c; c = c->next) {
        for (const CaptionWord& w : MisspelledWords(*c, speller)) {
            if (c == from.caption &&
                std::tuple(w.row, w.column) <= std::tuple(from.row, from.column))
                continue;
            return {c, w.row, w.column, w.length};
        }
    }
    return {};
}

std::string MatchedCharacters(const TextMatch& match) {
    std::string characters;
    for (int k = 0; k < match.length; ++k)
        characters +=
            static_cast<char>(match.caption->cells[match.row][match.column + k].character);
    return characters;
}

}  // namespace vantrel
