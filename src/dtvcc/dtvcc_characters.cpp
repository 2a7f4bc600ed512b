#include "dtvcc/dtvcc_characters.h"

#include <array>

#include "codec/charset.h"
#include "dtvcc/dtvcc_codes.h"

namespace vantrel::dtvcc {

namespace {

struct G2Character {
    uint8_t code;
    char32_t unicode;
};

// The G2 positions that stand for characters.
constexpr std::array<G2Character, 25> kG2 = {{
    {0x21, U'\u00A0'},  // non-breaking transparent space: the caption set's 0xA0
    {0x25, U'\u2026'}, {0x2A, U'\u0160'}, {0x2C, U'\u0152'}, {0x30, U'\u2588'}, {0x31, U'\u2018'},
    {0x32, U'\u2019'}, {0x33, U'\u201C'}, {0x34, U'\u201D'}, {0x35, U'\u2022'}, {0x39, U'\u2122'},
    {0x3A, U'\u0161'}, {0x3C, U'\u0153'}, {0x3D, U'\u2120'}, {0x3F, U'\u0178'}, {0x76, U'\u215B'},
    {0x77, U'\u215C'}, {0x78, U'\u215D'}, {0x79, U'\u215E'}, {0x7A, U'\u2502'}, {0x7B, U'\u2510'},
    {0x7C, U'\u2514'}, {0x7D, U'\u2500'}, {0x7E, U'\u2518'}, {0x7F, U'\u250C'},
}};

constexpr char32_t kMusicNote = U'\u266A';
constexpr uint8_t kG0MusicNote = 0x7F;

// Caption characters the 708 sets lack, and what stands in for them.
struct Stand {
    char32_t unicode;
    char ascii;
};
constexpr std::array<Stand, 12> kStandIns = {{
    {U'\u20AC', 'E'},
    {U'\u201A', ','},
    {U'\u0192', 'f'},
    {U'\u201E', '"'},
    {U'\u2039', '<'},
    {U'\u203A', '>'},
    {U'\u017D', 'Z'},
    {U'\u017E', 'z'},
    {U'\u2013', '-'},
    {U'\u2014', '-'},
    {U'\u02DC', '~'},
    {U'\u02C6', '^'},
}};

CharacterCode One(uint8_t b) {
    CharacterCode c;
    c.bytes[0] = b;
    c.size = 1;
    return c;
}

}  // namespace

CharacterCode CharacterCodeOf(uint8_t character) {
    const char32_t u = CaptionCharToUnicode(character);
    if (u == kMusicNote) return One(kG0MusicNote);
    for (const G2Character& g : kG2) {
        if (g.unicode != u) continue;
        CharacterCode c;
        c.bytes[0] = kExt1;
        c.bytes[1] = g.code;
        c.size = 2;
        return c;
    }
    if (u >= 0x20 && u < 0x7F) return One(static_cast<uint8_t>(u));
    if (u > 0xA0 && u <= 0xFF) return One(static_cast<uint8_t>(u));
    for (const Stand& s : kStandIns) {
        if (s.unicode == u) return One(static_cast<uint8_t>(s.ascii));
    }
    return One('_');  // no glyph at all: the caption set's own stand-in for the unknown
}

uint8_t CaptionCharacterOf(uint8_t code, bool extended) {
    if (extended) {
        for (const G2Character& g : kG2) {
            if (g.code == code) return UnicodeToCaptionChar(g.unicode);
        }
        return 0;
    }
    if (code == kG0MusicNote) return UnicodeToCaptionChar(kMusicNote);
    if ((code >= 0x20 && code < 0x7F) || code >= 0xA0) return UnicodeToCaptionChar(code);
    return 0;
}

}  // namespace vantrel::dtvcc
