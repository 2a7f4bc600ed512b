// The Unicode code point of every caption character: Windows-1252, with the system's own
// glyphs at a few positions. 0 marks a byte without a glyph.
#pragma once

#include <array>
#include <cstdint>

namespace vantrel::charset_table {

// Windows-1252 0x80-0x9F (0 where the code page leaves a position undefined). From 0xA0 on the
// code page equals Latin-1, the code point being the byte itself.
inline constexpr std::array<char32_t, 32> kWindows1252Rows8And9 = {
    U'\u20AC', 0,         U'\u201A', U'\u0192', U'\u201E', U'\u2026', U'\u2020', U'\u2021',
    U'\u02C6', U'\u2030', U'\u0160', U'\u2039', U'\u0152', 0,         U'\u017D', 0,
    0,         U'\u2018', U'\u2019', U'\u201C', U'\u201D', U'\u2022', U'\u2013', U'\u2014',
    U'\u02DC', U'\u2122', U'\u0161', U'\u203A', U'\u0153', 0,         U'\u017E', U'\u0178',
};

// Positions where the caption set has its own glyph. 0xA0, the transparent space, keeps the
// code page's no-break space.
struct OwnGlyph {
    uint8_t character;
    char32_t code;
};
inline constexpr std::array<OwnGlyph, 7> kOwnGlyphs = {{
    {0x7F, U'\u2588'},  // solid block
    {0x90, U'\u266A'},  // music note
    {0x9A, U'\u2120'},  // service mark
    {0xB1, U'\u250C'},  // upper-left corner
    {0xB2, U'\u2510'},  // upper-right corner
    {0xB3, U'\u2514'},  // lower-left corner
    {0xB4, U'\u2518'},  // lower-right corner
}};

constexpr std::array<char32_t, 256> BuildCaptionCharToUnicode() {
    std::array<char32_t, 256> table{};  // 0x00-0x1F: attribute codes, no glyph
    for (int b = 0x20; b < 0x80; ++b) table[b] = static_cast<char32_t>(b);
    for (int b = 0x80; b < 0xA0; ++b) table[b] = kWindows1252Rows8And9[b - 0x80];
    for (int b = 0xA0; b < 0x100; ++b) table[b] = static_cast<char32_t>(b);
    for (const OwnGlyph& g : kOwnGlyphs) table[g.character] = g.code;
    return table;
}

inline constexpr std::array<char32_t, 256> kCaptionCharToUnicode = BuildCaptionCharToUnicode();

}  // namespace vantrel::charset_table
