// The caption character set in Unicode, for every text a person reads (subtitles, the timing
// report, the properties panel, typed text).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vantrel {

// The code point of a caption character; 0 for bytes without a glyph (attribute codes
// 0x00-0x1F and the positions Windows-1252 leaves undefined).
char32_t CaptionCharToUnicode(uint8_t character);

// The caption character of a code point; 0 when the set has none.
uint8_t UnicodeToCaptionChar(char32_t code);

// The code point of a Windows-1252 byte; 0 where the code page leaves the byte undefined.
char32_t Windows1252ToUnicode(uint8_t byte);

constexpr char32_t kMalformed = 0xFFFFFFFF;

// Decodes the UTF-8 sequence at text[i] and moves i past it. A malformed sequence (bad lead
// byte, missing or bad continuation, overlong form, surrogate, beyond U+10FFFF) gives
// kMalformed and moves i by one byte only, so decoding resumes at the next byte.
char32_t NextCodePoint(std::string_view text, size_t& i);

// Appends a code point as UTF-8.
void AppendUtf8(std::string& out, char32_t code);

// Caption characters as UTF-8; bytes without a glyph are left out.
std::string CaptionTextToUtf8(std::string_view characters);

// UTF-8 as caption characters; characters outside the set and malformed sequences are left out.
std::string Utf8ToCaptionText(std::string_view utf8);

}  // namespace vantrel
