#include "files/text_lines.h"

#include <algorithm>

#include "codec/charset.h"
#include "codec/charset_table.h"

namespace vantrel {

namespace {

constexpr char kNoCharacterByte = 0x7F;  // no caption character in .ccd text

// The Windows-1252 byte of a code point, or -1. U+0080-U+009F stand for the byte of the same
// value, as a Latin-1 reading of Windows-1252 text leaves them.
int Windows1252Byte(char32_t code) {
    if (code < 0x100) return static_cast<int>(code);
    const auto& row = charset_table::kWindows1252Rows8And9;
    const auto* at = std::find(row.begin(), row.end(), code);
    return at == row.end() ? -1 : 0x80 + static_cast<int>(at - row.begin());
}

}  // namespace

DecodedText::DecodedText(std::string_view bytes, TextCharset charset) : original_(bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        original_.remove_prefix(3);
        return;
    }
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (!littleEndian && !bytes.starts_with("\xFE\xFF")) return;
    converted_ = true;
    storage_.reserve(bytes.size());
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
        return littleEndian ? char32_t(b) << 8 | a : char32_t(a) << 8 | b;
    };
    size_t line = 1;
    bool afterCarriageReturn = false;
    for (size_t i = 2; i < bytes.size(); i += 2) {
        char32_t code = 0xFFFD;  // a lone surrogate, or half a unit at the end
        if (i + 1 < bytes.size()) {
            const char32_t first = unit(i);
            if (first < 0xD800 || first > 0xDFFF) {
                code = first;
            } else if (first < 0xDC00 && i + 3 < bytes.size()) {
                const char32_t second = unit(i + 2);
                if (second >= 0xDC00 && second <= 0xDFFF) {
                    code = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
                    i += 2;
                }
            }
        }
        // Lines are counted as TextLines counts them: CR, LF and CR LF each end one.
        if (code == '\r' || (code == '\n' && !afterCarriageReturn)) ++line;
        afterCarriageReturn = code == '\r';
        if (charset == TextCharset::Utf8) {
            AppendUtf8(storage_, code);
            continue;
        }
        const int byte = Windows1252Byte(code);
        if (byte < 0) unconvertible_.Add(line);
        storage_ += byte < 0 ? kNoCharacterByte : static_cast<char>(byte);
    }
}

}  // namespace vantrel
