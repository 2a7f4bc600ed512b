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

// Caption characters as UTF-8; bytes without a glyph are left out.
std::string CaptionTextToUtf8(std::string_view characters);

// UTF-8 as caption characters; characters outside the set and malformed sequences are left out.
std::string Utf8ToCaptionText(std::string_view utf8);

}  // namespace vantrel
