#include "editor/clip_text.h"

#include "codec/charset.h"
#include "editor/cell_classes.h"

namespace vantrel {

std::string EncodeClipText(const ClipText& text) {
    std::string bytes;
    for (const std::vector<CaptionCell>& row : text.rows) {
        bytes.push_back(static_cast<char>(row.size()));
        for (const CaptionCell& cell : row) {
            bytes.push_back(static_cast<char>(cell.character));
            bytes.push_back(static_cast<char>(cell.attribute));
        }
    }
    return bytes;
}

ClipText DecodeClipText(std::string_view bytes) {
    ClipText text;
    size_t at = 0;
    while (at < bytes.size()) {
        const size_t length = static_cast<uint8_t>(bytes[at++]);
        if (length == 0 || length > size_t(kScreenColumns) || bytes.size() - at < 2 * length ||
            text.rows.size() == size_t(kScreenRows)) {
            return {};
        }
        std::vector<CaptionCell> row;
        for (size_t k = 0; k < length; ++k, at += 2) {
            const CaptionCell cell{static_cast<uint8_t>(bytes[at]),
                                   static_cast<uint8_t>(bytes[at + 1])};
            if (!IsCharacterCell(cell)) return {};
            row.push_back(cell);
        }
        text.rows.push_back(std::move(row));
    }
    return text;
}

std::string ClipTextToUtf8(const ClipText& text) {
    std::string out;
    for (size_t r = 0; r < text.rows.size(); ++r) {
        if (r > 0) out.push_back('\n');
        for (const CaptionCell& cell : text.rows[r]) {
            const char32_t code = CaptionCharToUnicode(cell.character);
            if (code != 0) AppendUtf8(out, code);
        }
    }
    return out;
}

ClipText ClipTextFromUtf8(std::string_view utf8, uint8_t attribute) {
    ClipText text;
    std::vector<CaptionCell> row;
    const auto endRow = [&] {
        if (!row.empty() && text.rows.size() < size_t(kScreenRows)) text.rows.push_back(row);
        row.clear();
    };
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t code = NextCodePoint(utf8, i);
        if (code == U'\n') {
            endRow();
            continue;
        }
        if (code == U'\t') code = U' ';
        const uint8_t character = code == kMalformed ? 0 : UnicodeToCaptionChar(code);
        const CaptionCell cell{character, attribute};
        if (IsCharacterCell(cell) && row.size() < size_t(kScreenColumns)) row.push_back(cell);
    }
    endRow();
    return text;
}

}  // namespace vantrel
