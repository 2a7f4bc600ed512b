// The character set, the character tables and the code string. That every carried character
// and code comes back from its pair, and random editor screens through their code strings, is
// left to the caption-file round trips.
#include "codec/code_string.h"

#include <gtest/gtest.h>

#include <bitset>
#include <optional>
#include <random>
#include <set>
#include <string>

#include "codec/charset.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/tables.h"
#include "support/random_screen.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using testing::FirstDifference;
using testing::MakeCaption;
using testing::Screen;

// Every glyph comes back to its own byte, so no two bytes share one; ASCII and Latin-1 are
// themselves, but for the box corners.
TEST(Charset, EveryGlyphRoundTrips) {
    int glyphs = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t code = CaptionCharToUnicode(static_cast<uint8_t>(b));
        const bool itself = (b >= 0x20 && b < 0x7F) || (b >= 0xA0 && (b < 0xB1 || b > 0xB4));
        EXPECT_EQ(code, itself ? char32_t(b) : code) << std::hex << b;
        if (code == 0) continue;
        ++glyphs;
        EXPECT_EQ(UnicodeToCaptionChar(code), b) << std::hex << b;
    }
    // 256 minus the 32 attribute codes and the 4 positions Windows-1252 leaves undefined.
    EXPECT_EQ(glyphs, 256 - 32 - 4);
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
        EXPECT_EQ(c.caption.empty() ? c.utf8 : CaptionTextToUtf8(c.caption), c.utf8);
        EXPECT_EQ(Utf8ToCaptionText(c.utf8), c.back) << ::testing::PrintToString(c.utf8);
    }
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (CaptionCharToUnicode(static_cast<uint8_t>(b)) != 0) all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCaptionText(CaptionTextToUtf8(all)), all);
}

TEST(CharacterTables, ExactlyTheUncarriedCharactersHaveNoCode) {
    const std::set<int> uncarried = {0x60, 0x96, 0x98, 0x9B, 0xA7, 0xA8, 0xAA, 0xAC,
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

// Screen and code string: the string built from the screen, and the screen it renders; strings
// the editor never builds, as other programs send them, are only rendered. A row of two runs is
// sent without a second preamble; a receiver fed its pairs shows the screen, and the mid-row
// codes in the gap.
TEST(CodeString, BuildAndRenderTable) {
    struct Case {
        Screen screen;
        CodeString code;
        bool built = true;
        CodeString sent = {};
        Screen codesInGap = {};
    };
    const std::string row = std::string("\x81\x10") + "abcdefghijklmnopqrstuvwxyz012345678";
    // clang-format off
    const Case cases[] = {
        {{}, {0x02, 0xFE, 0x06}},
        {{{14, 0, "HI"}}, {0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x06}},
        {{{14, 6, "HI"}}, {0x02, 0xFE, 0x8F, 0x11, 0x0A, 0x48, 0x49, 0x06}},  // indent 4, tab 2
        {{{14, 8, "\x1C"}, {14, 9, "A", 0x3C}}, {0x02, 0xFE, 0x8F, 0x12, 0x1C, 0x41, 0x06}},
        {{{14, 0, "G", 0x39}}, {0x02, 0xFE, 0x8F, 0x19, 'G', 0x06}},
        // The gap of eight columns as tab offsets of 3, 2 and 3 (never two alike in a row).
        {{{14, 0, "AB"}, {14, 10, "CD"}}, {0x02, 0xFE, 0x8F, 0x10, 'A', 'B', 0x8F, 0x12, 0x0A, 'C', 'D', 0x06},
         true, {0x02, 0xFE, 0x8F, 0x10, 'A', 'B', 0x0B, 0x0A, 0x0B, 'C', 'D', 0x06}},
        // Underline from the gap on: a white code and its underline take the gap's first cell,
        // or its last after a code cell, which the white code must not follow.
        {{{0, 0, "ab"}, {0, 6, "cd", 0xB8}}, {0x02, 0xFE, 0x81, 0x10, 'a', 'b', 0x81, 0x11, 0x0E, 0x0A, 'c', 'd', 0x06},
         true, {0x02, 0xFE, 0x81, 0x10, 'a', 'b', 0x18, 0x0E, 0x0B, 'c', 'd', 0x06}, {{0, 2, "\x18"}}},
        {{{0, 0, "g\x19", 0xB9}, {0, 6, "h"}}, {0x02, 0xFE, 0x81, 0x19, 0x0E, 'g', 0x19, 0x0E, 0x81, 0x11, 0x0A, 'h', 0x06},
         true, {0x02, 0xFE, 0x81, 0x19, 0x0E, 'g', 0x19, 0x0E, 0x0B, 0x18, 'h', 0x06}, {{0, 5, "\x18", 0xB9}}},
        {{{14, 0, "G", 0xB9}}, {0x02, 0xFE, 0x8F, 0x19, 0x0E, 'G', 0x06}},
        // Plain to italics of the same colour is one italics code, underline after it.
        {{{0, 0, "A"}, {0, 1, "\x0C"}, {0, 2, "B", 0xF8}}, {0x02, 0xFE, 0x81, 0x10, 'A', 0x0C, 0x0E, 'B', 0x06}},
        {{{3, 0, "A", 0x78}, {3, 1, "\x0C", 0x78}, {3, 2, "B", 0xF8}}, {0x02, 0xFE, 0x84, 0x0F, 'A', 0x0C, 0x0E, 'B', 0x06}},
        // A mid-row code that repeats the attributes in force keeps its cell: white after white,
        // italics after italics, underlined green after underlined green, at the row's end.
        {{{0, 0, "The\x18White"}}, {0x02, 0xFE, 0x81, 0x10, 'T', 'h', 'e', 0x18, 'W', 'h', 'i', 't', 'e', 0x06}},
        {{{0, 0, "a", 0x78}, {0, 1, "\x0C", 0x78}, {0, 2, "b", 0x78}}, {0x02, 0xFE, 0x81, 0x0F, 'a', 0x0C, 'b', 0x06}},
        {{{0, 0, "g\x19", 0xB9}}, {0x02, 0xFE, 0x81, 0x19, 0x0E, 'g', 0x19, 0x0E, 0x06}},
        // A mid-row underlined colour holds for the cells after it.
        {{{14, 0, "A"}, {14, 1, "\x19"}, {14, 2, "BC", 0xB9}}, {0x02, 0xFE, 0x8F, 0x10, 'A', 0x19, 0x0E, 'B', 'C', 0x06}},
        {{{14, 0, "A"}}, {0x8F, 'A', 0x10, 'B', 'C'}, false},  // an attribute byte out of place ends it
        {{{0, 0, "\x0C"}, {0, 1, "A", 0x78}}, {0x81, 0x10, 0x0C, 0x1C, 0x41}, false},
        {{{1, 11, "X", 0xB8}}, {0x82, 0x12, 0x0E, 0x0B, 'X'}, false},  // indent 8, underline, tab 3
        {{{2, 0, "a", 0x78}, {2, 1, "bcd", 0x50}}, {0x83, 0x0F, 'a', 0xD0, 0x1A, 'b', 'c', 'd'}, false},
        {{{2, 0, "a"}}, {0x83, 0x10, 'a', 'b', 0x83, 0x10, 0x09, 0x01}, false},  // tab 1, delete to end of row
        {{{3, 0, "ab"}}, {0x84, 0x10, 'a', 0xD0, 'b', 'c'}, false},  // a background without its colour
        {{{14, 0, "A"}}, {0x8F, 0x10, 'A', 0x00, 'B'}, false},  // a zero byte ends the string
        {{{0, 0, "abcdefghijklmnopqrstuvwxyz012345"}}, {row.begin(), row.end()}, false},  // the row ends at column 31
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.code));
        const Caption screen = MakeCaption(c.screen);
        EXPECT_EQ(c.built ? BuildCodeString(screen) : c.code, c.code);
        Caption rendered;
        LoadCodeString(rendered, c.code);
        EXPECT_EQ(FirstDifference(rendered, screen), "");
        if (c.sent.empty()) continue;
        EXPECT_EQ(BuildCodeString(screen, kCodeStringCapacity, RowGaps::TabOffsets), c.sent);
        CaptionList received;
        DecodePairStream(received, EncodeCodeString(c.sent));
        ASSERT_NE(received.Head(), nullptr);
        Screen shown = c.screen;
        shown.insert(shown.end(), c.codesInGap.begin(), c.codesInGap.end());
        EXPECT_EQ(FirstDifference(*received.Head(), MakeCaption(shown)), "");
    }
    Caption invalid = MakeCaption({{14, 0, "HI"}});
    invalid.screenValid = 0;
    EXPECT_TRUE(BuildCodeString(invalid).empty());
}

TEST(CodeString, IsCutAtTheCapacity) {
    std::mt19937 rng(7);
    Caption c;
    testing::RandomScreen(rng, c, {.maxRows = 15, .backgrounds = true, .attributeChange = 0.3});
    const CodeString full = BuildCodeString(c);
    ASSERT_GT(full.size(), 100u);
    for (size_t capacity = 0; capacity <= full.size() + 2; ++capacity) {
        const size_t n = capacity < 2 ? 0 : std::min(capacity, full.size());
        ASSERT_EQ(BuildCodeString(c, capacity),
                  CodeString(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)))
            << "capacity " << capacity;
    }
}

TEST(CodeString, RandomBytesStayInsideTheScreen) {
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        CodeString junk(rng() % 300);
        for (uint8_t& b : junk) b = static_cast<uint8_t>(rng() % 4 ? rng() : 0x81 + rng() % 16);
        Caption c;
        c.loadFrames = 5;
        LoadCodeString(c, junk);
        for (const CaptionCell& cell : c.cells[15]) ASSERT_TRUE(cell.IsEmpty());
        ASSERT_EQ(c.screenValid, 1);
        ASSERT_EQ(c.loadFrames, junk.empty() ? 5 : -1);
    }
}

TEST(FormatMnemonics, Table) {
    struct Case {
        CodeString code;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {{0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x21, 0x06}, "{RCL}{ENM}{1500}HI!_{EOC}"},
        {{0x02, 0xFE, 0x8F, 0x12, 0x1C, 0x41, 0x06}, "{RCL}{ENM}{1508}{R}A_{EOC}"},
        // Underlined preamble, equal codes with the filler between them, extended characters.
        {{0x81, 0x19, 0x0E, 0x90, 0x90, 0xC9, 'x', 0xC9}, "{01GrU}{note}__{note}E_{\xC9}xE{\xC9}"},
        {{0xD0, 0x1A, 0xF0}, "{BBlS}"},
        {{}, std::nullopt},
        {{0x81, 'A'}, std::nullopt},  // a row without its attribute
        {{0x02, 0x81}, std::nullopt},
        {{0xD0, 0x81, 0x10}, std::nullopt},
        {{'A', 0x0E}, std::nullopt},  // a modifier after text
        {{0x81, 0x0E}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMnemonics(c.code), c.text) << ::testing::PrintToString(c.code);
    }
}

}  // namespace
}  // namespace vantrel
