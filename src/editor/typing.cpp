#include "editor/typing.h"

#include <algorithm>

#include "editor/accent_table.h"

namespace vantrel {

namespace {

constexpr uint8_t kGraveAccent = 0x60;
constexpr uint8_t kMusicNote = 0x90;

}  // namespace

bool IsTypable(uint8_t character) {
    return std::any_of(accent_table::kTypable.begin(), accent_table::kTypable.end(),
                       [character](const accent_table::Range& r) {
                           return character >= r.first && character <= r.last;
                       });
}

uint8_t ComposeAccent(int pendingAccent, uint8_t character) {
    if (pendingAccent == 0) return character == kGraveAccent ? kMusicNote : character;
    for (const accent_table::Composition& c : accent_table::kCompositions) {
        if (c.accent == pendingAccent && c.character == character) return c.result;
    }
    return character;
}

}  // namespace vantrel
