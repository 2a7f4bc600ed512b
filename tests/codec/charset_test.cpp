// The caption character set against Unicode and UTF-8, and the character tables: which
// characters 608 cannot carry, that every code has one distinct name, and odd parity. That every
// carried character and code comes back from its pair is checked by the round trips of whole
// screens.
#include "codec/charset.h"

#include <gtest/gtest.h>

#include <bitset>
#include <set>
#include <string>

#include "codec/tables.h"
#include "support/random_screen.h"

namespace vantrel {
namespace {

// Every glyph comes back to its own byte, so no two bytes share one.
TEST(Charset, EveryGlyphRoundTrips) {
    int glyphs = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t code = CaptionCharToUnicode(static_cast<uint8_t>(b));
        if (code == 0) continue;
        ++glyphs;
        EXPECT_EQ(UnicodeToCaptionChar(code), b) << std::hex << b;
    }
    // 256 minus the 32 attribute codes and the 4 positions Windows-1252 leaves undefined.
    EXPECT_EQ(glyphs, 256 - 32 - 4);
    for (int b = 0x20; b < 0x7F; ++b) EXPECT_EQ(CaptionCharToUnicode(b), char32_t(b));
    for (int b = 0xA0; b < 0x100; ++b) {
        if (b < 0xB1 || b > 0xB4) {  // box corners
            EXPECT_EQ(CaptionCharToUnicode(b), char32_t(b)) << std::hex << b;
        }
    }
}

TEST(Charset, GlyphsOfTheirOwn) {
    const std::pair<uint8_t, char32_t> glyphs[] = {
        {0x7F, U'\u2588'}, {0x90, U'\u266A'}, {0x9A, U'\u2120'}, {0xA0, U'\u00A0'},
        {0xB1, U'\u250C'}, {0xB2, U'\u2510'}, {0xB3, U'\u2514'}, {0xB4, U'\u2518'},
        {0x80, U'\u20AC'}, {0x92, U'\u2019'}, {0x96, U'\u2013'}, {0x99, U'\u2122'},
        {0x9F, U'\u0178'}, {0x1C, 0},         {0x81, 0},         {0x9D, 0},
    };
    for (const auto& [byte, code] : glyphs)
        EXPECT_EQ(CaptionCharToUnicode(byte), code) << int(byte);
    for (char32_t code :
         {U'\u00B1', U'\u00B4', U'\u0161', U'\u007F', char32_t(0), char32_t(0x0A), char32_t(0x81),
          char32_t(0x1F600), char32_t(0x110000), char32_t(0xFFFFFFFF)}) {
        EXPECT_EQ(UnicodeToCaptionChar(code), 0) << std::hex << uint32_t(code);
    }
}

TEST(Charset, Utf8Table) {
    struct Case {
        std::string caption;  // caption text; "" when only the UTF-8 side is checked
        std::string utf8;
        std::string back;  // what the UTF-8 reads back as
    };
    const Case cases[] = {
        {"\307a co\373te 5 \200 \220", "Ça coûte 5 € ♪", "\307a co\373te 5 \200 \220"},
        {"H\014I\034\201!", "HI!", "HI!"},  // bytes without a glyph are left out
        {std::string("A\0B", 3), "AB", "AB"},
        {"", "a☃b±c😀d", "abcd"},  // characters outside the set are left out
        {"", std::string("a\0b", 3), "ab"},
        // Malformed UTF-8 is skipped byte by byte.
        {"", "A\xC3", "A"},
        {"", "\xE2\x82", ""},
        {"", "\xE2\x82z", "z"},
        {"", "\x80\xBFz", "z"},
        {"", "\xC0\x80z", "z"},          // overlong NUL
        {"", "\xE0\x80\xAFz", "z"},      // overlong slash
        {"", "\xED\xA0\x80z", "z"},      // surrogate
        {"", "\xF4\x90\x80\x80z", "z"},  // beyond U+10FFFF
        {"", "\xF8\x88\x80\x80\x80z", "z"},
        {"", "\xFF\xFEz", "z"},
        {"", "\xC3\xA9\xC3", "\xE9"},
    };
    for (const Case& c : cases) {
        if (!c.caption.empty()) {
            EXPECT_EQ(CaptionTextToUtf8(c.caption), c.utf8);
        }
        EXPECT_EQ(Utf8ToCaptionText(c.utf8), c.back) << ::testing::PrintToString(c.utf8);
    }
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (CaptionCharToUnicode(static_cast<uint8_t>(b)) != 0) all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCaptionText(CaptionTextToUtf8(all)), all);
}

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
