// The constant tables of the caption character set and of the translation between 608 byte
// pairs and code-string bytes. The hand-written facts are in table_lists.h; tables_*.cpp build
// the tables from them at compile time. Nothing here is mutable.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel {

// Code-string byte classes (CodeClassTable).
enum CodeClass : uint8_t {
    kBasicChar = 0,        // basic character, or a byte without a 608 code
    kControlCode = 1,      // commands, preamble and mid-row attributes, 0x80, special characters
    kRowOrBackground = 2,  // row byte 0x81-0x8F or background prefix 0xD0
    kModifier = 3,         // 0x0E underline, 0xF0 semi-transparent
    kExtendedChar = 4,     // sent as fallback character + pair
};

// A code-string fragment of 0 to 3 bytes for one control pair.
struct CodeFragment {
    uint8_t length = 0;
    uint8_t bytes[3] = {};
};

constexpr uint8_t kControlPairFirst = 0xFF;  // SingleByteMap: first byte of a control pair
constexpr uint16_t kModifierFlag = 0x8000;    // CodePairTable: adds the low 7 bits to the pair before

// By the low 7 bits of a 608 byte: the code-string character, 0xFF for the first byte of a
// control pair, 0 for the second caption channel's first bytes.
extern const std::array<uint8_t, 128> SingleByteMap;
// By (first byte AND 7, second byte AND 0x7F): the fragment of a control pair.
extern const std::array<std::array<CodeFragment, 128>, 8> ControlPairMap;
// By code-string byte: the 608 code to send (see the design notes on the encoding).
extern const std::array<uint16_t, 256> CodePairTable;
// By code-string byte: the basic character sent before an extended character, else 0.
extern const std::array<uint8_t, 256> FallbackCharTable;
// By code-string byte: its CodeClass.
extern const std::array<uint8_t, 256> CodeClassTable;
// By code-string byte: its name in the disassembly notation ("" for none).
extern const std::array<const char*, 256> MnemonicTable;
// By 7-bit value: the value with bit 7 set when it has an even number of one bits.
extern const std::array<uint8_t, 128> OddParityTable;

}  // namespace vantrel
