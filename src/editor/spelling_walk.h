// Tools > Spelling's walk through the project: the words the dictionary does not know, one
// after another in list order, as matches the Replace commands take.
#pragma once

#include "check/speller.h"
#include "editor/find_replace.h"

namespace vantrel {

// The first unknown word after `from` (in its caption, a word starting after its first cell;
// then the captions after it), or none (caption null) up to the list's end. `from` without a
// caption starts at the head.
TextMatch NextMisspelled(const CaptionList& list, const Speller& speller, const TextMatch& from);

// The caption characters the match covers, to replace them.
std::string MatchedCharacters(const TextMatch& match);

}  // namespace vantrel
