// How the editor reads a cell and a byte: empty, attribute code or character.
#pragma once

#include <cstdint>

#include "codec/code_string.h"
#include "codec/codes.h"
#include "model/caption.h"

namespace vantrel {

// An attribute-code cell (a mid-row code, shown as a space). 0x80 counts as one: it is never
// drawn and never written into a code string.
constexpr bool IsAttributeCode(uint8_t character) {
    return (character >= 0x01 && character <= 0x1F) || character == 0x80;
}

constexpr bool IsAttributeCodeCell(const CaptionCell& cell) {
    return IsAttributeCode(cell.character);
}
// A cell that shows a character: neither empty nor an attribute code.
constexpr bool IsCharacterCell(const CaptionCell& cell) {
    return cell.character >= 0x20 && cell.character != 0x80;
}

constexpr bool IsEditableRow(int row) {
    return row >= 0 && row < kScreenRows;
}

}  // namespace vantrel
