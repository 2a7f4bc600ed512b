// How the editor reads a cell and a byte: empty, attribute code or character.
#pragma once

#include <cstdint>

#include "model/caption.h"

namespace vantrel {

// An attribute-code cell (a mid-row code, shown as a space). 0x80 counts as one: it is never
// drawn and never written into a code string.
constexpr bool IsAttributeCode(uint8_t character) {
    return (character >= 0x01 && character <= 0x1F) || character == 0x80;
}

constexpr bool IsCharacter(uint8_t character) {
    return character >= 0x20 && character != 0x80;
}

constexpr bool IsAttributeCodeCell(const CaptionCell& cell) {
    return IsAttributeCode(cell.character);
}
constexpr bool IsCharacterCell(const CaptionCell& cell) {
    return IsCharacter(cell.character);
}

// A byte the code string carries as a character; every other byte is a command there, so the
// editor never writes one into a cell as text.
constexpr bool IsCaptionCharacter(uint8_t b) {
    return (b >= 0x20 && b <= 0x7F) || (b >= 0x90 && b <= 0x9B) || (b >= 0xA0 && b <= 0xCF) ||
           (b >= 0xD1 && b <= 0xEF) || (b >= 0xF1 && b <= 0xFD);
}

constexpr bool IsEditableRow(int row) {
    return row >= 0 && row < kScreenRows;
}

// The attribute-code characters the editor writes itself.
constexpr uint8_t kItalicsCode = 0x0C;
constexpr uint8_t kColourCodeBase = 0x18;  // + foreground colour

}  // namespace vantrel
