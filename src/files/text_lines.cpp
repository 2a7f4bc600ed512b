#include "files/text_lines.h"

#include "codec/charset.h"

namespace vantrel {

DecodedText::DecodedText(std::string_view bytes) : original_(bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        original_.remove_prefix(3);
        byteOrderMark_ = true;
        return;
    }
    const bool littleEndian = bytes.starts_with("\xFF\xFE");
    if (!littleEndian && !bytes.starts_with("\xFE\xFF")) return;
    converted_ = byteOrderMark_ = true;
    storage_.reserve(bytes.size());
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
        return littleEndian ? char32_t(b) << 8 | a : char32_t(a) << 8 | b;
    };
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
        AppendUtf8(storage_, code);
    }
}

}  // namespace vantrel
