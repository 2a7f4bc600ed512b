#include "check/caption_words.h"

#include "codec/charset.h"

namespace vantrel {

namespace {

bool IsLetter(char32_t c) {
    return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           (c >= U'\u00C0' && c <= U'\u024F' && c != U'\u00D7' && c != U'\u00F7');
}
bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}
bool IsApostrophe(char32_t c) {
    return c == U'\'' || c == U'\u2019';
}

}  // namespace

std::vector<CaptionWord> CaptionWords(const Caption& caption) {
    std::vector<CaptionWord> words;
    for (int r = 0; r < kScreenRows; ++r) {
        char32_t text[kScreenColumns + 1];
        for (int c = 0; c < kScreenColumns; ++c) {
            const uint8_t ch = caption.cells[r][c].character;
            text[c] = ch >= 0x20 ? CaptionCharToUnicode(ch) : 0;
        }
        text[kScreenColumns] = 0;
        for (int c = 0; c < kScreenColumns;) {
            if (!IsLetter(text[c])) {
                ++c;
                continue;
            }
            const int first = c;
            bool digit = first > 0 && IsDigit(text[first - 1]);
            CaptionWord word{r, first, 0, {}};
            for (; IsLetter(text[c]) || (IsApostrophe(text[c]) && IsLetter(text[c + 1])); ++c)
                AppendUtf8(word.text, IsApostrophe(text[c]) ? U'\'' : text[c]);
            digit = digit || IsDigit(text[c]);
            word.length = c - first;
            if (!digit) words.push_back(std::move(word));
        }
    }
    return words;
}

std::vector<CaptionWord> MisspelledWords(const Caption& caption, const Speller& speller) {
    std::vector<CaptionWord> words = CaptionWords(caption);
    std::erase_if(words, [&](const CaptionWord& w) { return speller.Knows(w.text); });
    return words;
}

}  // namespace vantrel
