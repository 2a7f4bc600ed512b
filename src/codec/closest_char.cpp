#include "codec/closest_char.h"

#include <algorithm>

#include "codec/charset.h"
#include "codec/closest_char_table.h"
#include "codec/code_string.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

using closest_char_table::kBaseLetters;
using closest_char_table::kCompositions;
using closest_char_table::kForms;

constexpr bool FormsAreSorted() {
    for (size_t k = 1; k < kForms.size(); ++k) {
        if (!(kForms[k - 1].code < kForms[k].code)) return false;
    }
    return true;
}
static_assert(FormsAreSorted(), "the forms are looked up by binary search");

bool IsCombiningMark(char32_t code) {
    return code >= 0x0300 && code <= 0x036F;
}

const closest_char_table::Form* FindForm(char32_t code) {
    const auto* it =
        std::lower_bound(kForms.begin(), kForms.end(), code,
                         [](const closest_char_table::Form& f, char32_t c) { return f.code < c; });
    return it != kForms.end() && it->code == code ? it : nullptr;
}

char BaseLetter(char32_t code) {
    for (const auto& row : kBaseLetters) {
        if (code >= row.first && code - row.first < row.letters.size()) {
            const char letter = row.letters[code - row.first];
            return letter == '.' ? 0 : letter;
        }
    }
    return 0;
}

}  // namespace

bool IsSendableChar(uint8_t character) {
    if (!IsCaptionCharacter(character)) return false;
    return CodePairTable[character] != 0;
}

bool AppendClosestChars(char32_t code, std::string& out) {
    const uint8_t character = UnicodeToCaptionChar(code);
    const closest_char_table::Form* form = FindForm(code);
    // The forms come first: curly quotes are in the set, but cost an extended character each.
    if (form) {
        out += form->form;
        return true;
    }
    if (character != 0 && IsSendableChar(character)) {
        out += static_cast<char>(character);
        return true;
    }
    if (const char letter = BaseLetter(code)) {
        out += letter;
        return true;
    }
    return false;
}

size_t AppendClosestText(std::string_view utf8, std::string& out, char32_t* firstMissing) {
    size_t missing = 0;
    auto miss = [&](char32_t code) {
        if (missing++ == 0 && firstMissing) *firstMissing = code;
    };
    for (size_t i = 0; i < utf8.size();) {
        const char32_t code = NextCodePoint(utf8, i);
        if (code == kMalformed) {
            miss(code);
        } else if (IsCombiningMark(code)) {
            const char base = out.empty() ? 0 : out.back();
            const auto* it =
                std::find_if(kCompositions.begin(), kCompositions.end(),
                             [&](const auto& c) { return c.base == base && c.mark == code; });
            if (it != kCompositions.end()) {
                std::string composed;
                if (AppendClosestChars(it->composed, composed) && composed.size() == 1) {
                    out.back() = composed[0];
                }
            }
        } else if (!AppendClosestChars(code, out)) {
            miss(code);
        }
    }
    return missing;
}

}  // namespace vantrel
