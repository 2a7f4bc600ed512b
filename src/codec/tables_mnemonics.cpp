// The disassembly-notation name of every code-string byte, in Windows-1252 bytes.
#include "codec/table_lists.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

using namespace table_lists;

using Name = std::array<char, 8>;  // the longest name has 4 bytes

constexpr Name Text(const char* text) {
    Name name{};
    for (size_t i = 0; text[i] != '\0'; ++i) name.at(i) = text[i];
    return name;
}

constexpr Name TwoDigits(int value) {
    return Name{char('0' + value / 10), char('0' + value % 10)};
}

constexpr std::array<Name, 256> BuildNames() {
    std::array<Name, 256> names{};  // empty: 0x00, 0x80, bytes without a 608 code
    for (int b = 0x20; b < 0x80; ++b) {
        const uint8_t character = BasicCharOf(static_cast<uint8_t>(b));
        names[character] = Name{static_cast<char>(character)};
    }
    for (const SpecialChar& s : kSpecialChars) names[s.character] = Text(s.name);
    for (const ExtendedChar& e : kExtendedChars) {
        Name name = Text(e.name);
        for (size_t i = name.size() - 1; i > 0; --i) name[i] = name[i - 1];
        name[0] = static_cast<char>(e.fallback);
        names[e.character] = name;
    }
    for (const Command& c : kCommands) names[c.byte] = Text(c.name);
    for (const ByteName& a : kAttributeNames) names[a.byte] = Text(a.name);
    for (int k = 0; k < 8; ++k) names[IndentByte(k)] = TwoDigits(4 * k);
    for (int c = 0; c < 8; ++c) names[ColourByte(c)] = Text(kColourNames[c]);
    for (int row = 1; row <= 15; ++row) names[RowByte(row - 1)] = TwoDigits(row);
    for (const ByteName& x : kNameExceptions) names[x.byte] = Text(x.name);
    return names;
}

constexpr std::array<Name, 256> kNames = BuildNames();

constexpr std::array<const char*, 256> BuildMnemonicTable() {
    std::array<const char*, 256> table{};
    for (size_t b = 0; b < table.size(); ++b) table[b] = kNames[b].data();
    return table;
}

}  // namespace

constexpr std::array<const char*, 256> MnemonicTable = BuildMnemonicTable();

}  // namespace vantrel
