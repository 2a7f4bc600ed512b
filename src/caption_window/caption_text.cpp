#include "caption_window/caption_text.h"

#include "codec/charset.h"

namespace vantrel {

QString OneLineText(const Caption& caption, QStringView rowJoin) {
    char bytes[kScreenRows * (kScreenColumns + 2) + 1];
    const size_t length = caption.GetLinesText(bytes, false, sizeof bytes - 1);
    QString text;
    text.reserve(static_cast<qsizetype>(length + 8));
    for (size_t i = 0; i < length; ++i) {
        if (bytes[i] == '\r' && i + 1 < length && bytes[i + 1] == '\n') {
            text += rowJoin;
            ++i;
        } else if (const char32_t code = CaptionCharToUnicode(static_cast<uint8_t>(bytes[i]))) {
            text += QChar(static_cast<char16_t>(code));  // the caption set lies in the BMP
        }
    }
    return text;
}

}  // namespace vantrel
