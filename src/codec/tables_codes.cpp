// What the encoder sends for each code-string byte, and the class of each byte.
#include "codec/table_lists.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

using namespace table_lists;

constexpr std::array<uint16_t, 256> BuildCodePairTable() {
    // Bytes that no list mentions (characters 608 cannot carry, 0x0F, 0x80) stay 0.
    std::array<uint16_t, 256> table{};
    for (int b = 0x20; b < 0x80; ++b) table[BasicCharOf(static_cast<uint8_t>(b))] = b;
    for (size_t i = 0; i < kSpecialChars.size(); ++i) {
        table[kSpecialChars[i].character] = static_cast<uint16_t>(kSpecialCharFirstCode + i);
    }
    for (size_t i = 0; i < kExtendedChars.size(); ++i) {
        table[kExtendedChars[i].character] = ExtendedCharCode(static_cast<int>(i));
    }
    for (const Command& c : kCommands) table[c.byte] = c.code;
    table[kUnderline] = kUnderlineModifier;
    table[kSemiTransparent] = kUnderlineModifier;
    for (int k = 0; k < 8; ++k) table[IndentByte(k)] = kIndentModifier + 2 * k;
    for (int c = 0; c < 7; ++c) table[ColourByte(c)] = kMidRowColourCode + 2 * c;
    table[ColourByte(kColourBlack)] = kBlackForegroundCode;
    for (size_t r = 0; r < kRowCodes.size(); ++r)
        table[RowByte(static_cast<int>(r))] = kRowCodes[r];
    table[kBackground] = kBackgroundCode;
    return table;
}

constexpr std::array<uint8_t, 256> BuildCodeClassTable() {
    std::array<uint8_t, 256> table{};  // kBasicChar
    for (const Command& c : kCommands) table[c.byte] = kControlCode;
    for (int b = kWhiteItalics; b < ColourByte(kColourCount); ++b) table[b] = kControlCode;
    table[kNullCode] = kControlCode;
    for (const SpecialChar& s : kSpecialChars) table[s.character] = kControlCode;
    for (size_t r = 0; r < kRowCodes.size(); ++r)
        table[RowByte(static_cast<int>(r))] = kRowOrBackground;
    table[kBackground] = kRowOrBackground;
    table[kUnderline] = kModifier;
    table[kSemiTransparent] = kModifier;
    for (const ExtendedChar& e : kExtendedChars) table[e.character] = kExtendedChar;
    return table;
}

}  // namespace

constexpr std::array<uint16_t, 256> CodePairTable = BuildCodePairTable();
constexpr std::array<uint8_t, 256> CodeClassTable = BuildCodeClassTable();

}  // namespace vantrel
