// The way from a typed character to the caption character that enters the screen: which
// characters a keyboard may type, and the accent prefixes that turn the next character into an
// accented one.
#pragma once

#include <cstdint>

namespace vantrel {

// A caption character that the keyboard may type; the rest (the 608 special characters that
// have keys of their own, and the bytes the caption set leaves out) are ignored.
bool IsTypable(uint8_t character);

// The character that `character` becomes after the accent prefix `pendingAccent` (0 for none).
// With no accent the grave accent types the music note.
uint8_t ComposeAccent(int pendingAccent, uint8_t character);

}  // namespace vantrel
