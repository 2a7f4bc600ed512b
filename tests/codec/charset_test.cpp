#include "codec/charset.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vantrel {
namespace {

TEST(CharsetTest, EveryGlyphRoundTripsAndNoTwoBytesShareOne) {
    std::map<char32_t, int> owner;
    int glyphs = 0;
    for (int b = 0; b < 256; ++b) {
        const char32_t code = CaptionCharToUnicode(static_cast<uint8_t>(b));
        if (code == 0) continue;
        ++glyphs;
        EXPECT_EQ(UnicodeToCaptionChar(code), b) << std::hex << b;
        const auto [it, inserted] = owner.emplace(code, b);
        EXPECT_TRUE(inserted) << std::hex << b << " and " << it->second << " share U+"
                              << uint32_t(code);
    }
    // 256 minus the 32 attribute codes and the 4 positions Windows-1252 leaves undefined.
    EXPECT_EQ(glyphs, 256 - 32 - 4);
}

TEST(CharsetTest, AttributeCodesAndUndefinedPositionsHaveNoGlyph) {
    for (int b = 0; b < 0x20; ++b) EXPECT_EQ(CaptionCharToUnicode(static_cast<uint8_t>(b)), 0u);
    for (int b : {0x81, 0x8D, 0x8F, 0x9D}) EXPECT_EQ(CaptionCharToUnicode(b), 0u) << std::hex << b;
}

TEST(CharsetTest, LatinRangesAreTheirOwnCodePoints) {
    for (int b = 0x20; b < 0x7F; ++b) EXPECT_EQ(CaptionCharToUnicode(b), char32_t(b));
    for (int b = 0xA0; b < 0x100; ++b) {
        if (b >= 0xB1 && b <= 0xB4) continue;  // box corners
        EXPECT_EQ(CaptionCharToUnicode(b), char32_t(b)) << std::hex << b;
    }
}

TEST(CharsetTest, CaptionGlyphsAndWindows1252Positions) {
    EXPECT_EQ(CaptionCharToUnicode(0x7F), U'\u2588');  // solid block
    EXPECT_EQ(CaptionCharToUnicode(0x90), U'\u266A');  // music note
    EXPECT_EQ(CaptionCharToUnicode(0x9A), U'\u2120');  // service mark
    EXPECT_EQ(CaptionCharToUnicode(0xA0), U'\u00A0');  // transparent space
    EXPECT_EQ(CaptionCharToUnicode(0xB1), U'\u250C');
    EXPECT_EQ(CaptionCharToUnicode(0xB2), U'\u2510');
    EXPECT_EQ(CaptionCharToUnicode(0xB3), U'\u2514');
    EXPECT_EQ(CaptionCharToUnicode(0xB4), U'\u2518');
    EXPECT_EQ(CaptionCharToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(CaptionCharToUnicode(0x92), U'\u2019');
    EXPECT_EQ(CaptionCharToUnicode(0x96), U'\u2013');  // the 608 dash
    EXPECT_EQ(CaptionCharToUnicode(0x99), U'\u2122');
    EXPECT_EQ(CaptionCharToUnicode(0x9F), U'\u0178');
}

TEST(CharsetTest, CodePointsOutsideTheSetHaveNoCharacter) {
    // The positions the caption set took over from Windows-1252 and Latin-1.
    for (char32_t code : {U'\u00B1', U'\u00B2', U'\u00B3', U'\u00B4', U'\u0161', U'\u007F'}) {
        EXPECT_EQ(UnicodeToCaptionChar(code), 0) << std::hex << uint32_t(code);
    }
    for (char32_t code : {char32_t(0), char32_t(0x0A), char32_t(0x81), char32_t(0x4E2D),
                          char32_t(0x1F600), char32_t(0x110000), char32_t(0xFFFFFFFF)}) {
        EXPECT_EQ(UnicodeToCaptionChar(code), 0) << std::hex << uint32_t(code);
    }
}

TEST(CharsetTest, TextRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (CaptionCharToUnicode(static_cast<uint8_t>(b)) != 0) all += static_cast<char>(b);
    }
    const std::string utf8 = CaptionTextToUtf8(all);
    EXPECT_EQ(Utf8ToCaptionText(utf8), all);
    // Octal escapes: Ç, û, €, music note.
    EXPECT_EQ(CaptionTextToUtf8("\307a co\373te 5 \200 \220"), "Ça coûte 5 € ♪");
    EXPECT_EQ(Utf8ToCaptionText("Ça coûte 5 € ♪"), "\307a co\373te 5 \200 \220");
}

TEST(CharsetTest, BytesWithoutGlyphAndCharactersOutsideTheSetAreLeftOut) {
    EXPECT_EQ(CaptionTextToUtf8("H\014I\034\201!"), "HI!");
    EXPECT_EQ(CaptionTextToUtf8(std::string("A\0B", 3)), "AB");
    EXPECT_EQ(Utf8ToCaptionText("a☃b±c😀d"), "abcd");
    EXPECT_EQ(Utf8ToCaptionText(std::string("a\0b", 3)), "ab");
}

TEST(CharsetTest, MalformedUtf8IsSkippedByteByByte) {
    struct Case {
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"A\xC3", "A"},                  // truncated at the end
        {"\xE2\x82", ""},                // truncated three-byte sequence
        {"\xE2\x82z", "z"},              // continuation missing, next character kept
        {"\x80\xBFz", "z"},              // lone continuation bytes
        {"\xC0\x80z", "z"},              // overlong NUL
        {"\xE0\x80\xAFz", "z"},          // overlong slash
        {"\xED\xA0\x80z", "z"},          // surrogate
        {"\xF4\x90\x80\x80z", "z"},      // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80z", "z"},  // five-byte form
        {"\xFF\xFEz", "z"},              // bytes that never occur in UTF-8
        {"\xC3\xA9\xC3", "\xE9"},        // é, then a truncated sequence
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToCaptionText(c.input), c.expected) << testing::PrintToString(c.input);
    }
}

}  // namespace
}  // namespace vantrel
