// The character tables: which characters 608 cannot carry, that every code has one distinct
// name, and odd parity. That every carried character and code comes back from its pair is
// checked by the round trips of whole screens.
#include "codec/tables.h"

#include <gtest/gtest.h>

#include <bitset>
#include <set>
#include <string>

#include "support/random_screen.h"

namespace vantrel {
namespace {

TEST(CharacterTables, ExactlyTheUncarriedCharactersHaveNoCode) {
    const std::set<int> uncarried = {0x60, 0x97, 0x98, 0x9B, 0xA7, 0xA8, 0xAA, 0xAC,
                                     0xAD, 0xAF, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA,
                                     0xBC, 0xBE, 0xC6, 0xD7, 0xDD, 0xDE, 0xE6, 0xFD};
    for (uint8_t c : testing::TypableCharacters()) {
        EXPECT_EQ(CodePairTable[c] == 0, uncarried.count(c) == 1) << std::hex << int(c);
    }
}

TEST(CharacterTables, EveryCodeHasOneNameOfItsOwn) {
    std::set<std::string> tokens;
    for (int c = 1; c < 256; ++c) {
        if (CodePairTable[c] == 0 && c != 0x0F) continue;  // 0x0F: the white italics preamble
        const std::string name = MnemonicTable[c];
        EXPECT_FALSE(name.empty()) << std::hex << c;
        // Rows and indents are numbers read only in their place after a row byte; characters
        // stand for themselves; extended characters begin with their fallback.
        const bool number = (c >= 0x10 && c <= 0x17) || (c >= 0x81 && c <= 0x8F);
        if (number || CodeClassTable[c] == kBasicChar) continue;
        const std::string token = CodeClassTable[c] == kExtendedChar ? name.substr(1) : name;
        EXPECT_TRUE(tokens.insert(token).second) << "duplicate " << token;
    }
}

TEST(CharacterTables, EveryValueGetsOddParity) {
    for (int v = 0; v < 128; ++v) {
        EXPECT_EQ(OddParityTable[v] & 0x7F, v);
        EXPECT_EQ(std::bitset<8>(OddParityTable[v]).count() % 2, 1u) << v;
    }
}

}  // namespace
}  // namespace vantrel
