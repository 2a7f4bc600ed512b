// Text from outside (subtitles, transcripts) as the characters a 608 screen can show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// True for a caption character that 608 can send (a basic, special or extended character);
// false for command bytes and for the characters of the set that have no 608 code.
bool IsSendableChar(uint8_t character);

// Appends the caption characters that show `code`: the character itself where 608 can send it,
// else its closest form (curly quotes as straight ones, the em dash as the 608 dash, the
// ellipsis as three dots, accented letters outside the set as their base letter, typographic
// spaces as a space; zero-width marks as nothing). False, and nothing appended, when it has no
// form at all (an emoji, a Greek letter).
bool AppendClosestChars(char32_t code, std::string& out);

// The same for UTF-8 text; a combining accent joins the letter before it where the set has the
// accented letter, and is dropped otherwise. Returns the number of characters without a form,
// malformed sequences included (as kMalformed); the first of them goes to `firstMissing`.
size_t AppendClosestText(std::string_view utf8, std::string& out, char32_t* firstMissing = nullptr);

}  // namespace vantrel
