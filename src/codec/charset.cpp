#include "codec/charset.h"

#include <algorithm>
#include <array>
#include <cstddef>

#include "codec/charset_table.h"

namespace vantrel {

namespace {

using charset_table::kCaptionCharToUnicode;

struct Glyph {
    char32_t code;
    uint8_t character;
};

constexpr size_t CountGlyphs() {
    return static_cast<size_t>(std::count_if(kCaptionCharToUnicode.begin(),
                                             kCaptionCharToUnicode.end(),
                                             [](char32_t code) { return code != 0; }));
}

// The glyphs in code-point order, for the way back.
constexpr std::array<Glyph, CountGlyphs()> BuildGlyphsByCode() {
    std::array<Glyph, CountGlyphs()> glyphs{};
    size_t n = 0;
    for (int b = 0; b < 256; ++b) {
        if (kCaptionCharToUnicode[b] != 0) {
            glyphs[n++] = {kCaptionCharToUnicode[b], static_cast<uint8_t>(b)};
        }
    }
    std::sort(glyphs.begin(), glyphs.end(),
              [](const Glyph& a, const Glyph& b) { return a.code < b.code; });
    return glyphs;
}

constexpr auto kGlyphsByCode = BuildGlyphsByCode();

}  // namespace

char32_t Windows1252ToUnicode(uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? charset_table::kWindows1252Rows8And9[byte - 0x80] : byte;
}

char32_t NextCodePoint(std::string_view text, size_t& i) {
    const auto lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    size_t length = 0;
    char32_t code = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++i;
        return kMalformed;
    }
    if (text.size() - i < length) {
        ++i;
        return kMalformed;
    }
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kMalformed;
        }
        code = code << 6 | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++i;
        return kMalformed;
    }
    i += length;
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | code >> 6);
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | code >> 12);
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | code >> 18);
        out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char32_t CaptionCharToUnicode(uint8_t character) {
    return kCaptionCharToUnicode[character];
}

uint8_t UnicodeToCaptionChar(char32_t code) {
    if (code == 0) return 0;
    const auto* it = std::lower_bound(kGlyphsByCode.begin(), kGlyphsByCode.end(), code,
                                      [](const Glyph& g, char32_t c) { return g.code < c; });
    return it != kGlyphsByCode.end() && it->code == code ? it->character : 0;
}

std::string CaptionTextToUtf8(std::string_view characters) {
    std::string out;
    out.reserve(characters.size());
    for (char c : characters) {
        const char32_t code = CaptionCharToUnicode(static_cast<uint8_t>(c));
        if (code != 0) AppendUtf8(out, code);
    }
    return out;
}

std::string Utf8ToCaptionText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char32_t code = NextCodePoint(utf8, i);
        if (code == kMalformed) continue;
        const uint8_t character = UnicodeToCaptionChar(code);
        if (character != 0) out += static_cast<char>(character);
    }
    return out;
}

}  // namespace vantrel
