// The disassembly notation of a code string, as shown in the properties panel.
#include <cstring>

#include "codec/code_string.h"
#include "codec/tables.h"

namespace vantrel {

std::optional<std::string> FormatMnemonics(std::span<const uint8_t> code) {
    size_t length = 0;
    while (length < code.size() && code[length] != 0) ++length;
    if (length == 0) return std::nullopt;

    std::string out;
    bool half = false;   // an odd number of basic characters since the last pair boundary
    bool group = false;  // a row byte or background prefix awaits its attribute
    bool brace = false;
    int lastControl = -1;

    auto closeBrace = [&] {
        if (brace) out += '}';
        brace = false;
    };

    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = code[i];
        const uint8_t cls = CodeClassTable[b];
        const char* name = MnemonicTable[b];
        if (group && cls != kControlCode) return std::nullopt;  // row byte without attribute
        switch (cls) {
            case kBasicChar:
                closeBrace();
                out += name;
                if (std::strlen(name) % 2 == 1) half = !half;
                lastControl = -1;
                break;
            case kControlCode:
                closeBrace();
                if (half) out += '_';  // padding that puts the code on a pair boundary
                half = false;
                if (b == lastControl) out += "__";  // filler pair between two equal codes
                if (!group) out += '{';
                out += name;
                group = false;
                brace = true;
                lastControl = b;
                break;
            case kRowOrBackground:
                closeBrace();
                if (half) out += '_';
                out += '{';
                out += name;
                half = false;
                group = true;
                lastControl = -1;
                break;
            case kModifier:
                if (!brace || half) return std::nullopt;
                out += name;
                out += '}';
                half = brace = false;
                lastControl = -1;
                break;
            case kExtendedChar:
                closeBrace();
                if (name[0] != 0) {
                    out += name[0];  // the basic-set fallback
                    if (!half) out += '_';
                    out += '{';
                    out += name + 1;
                    out += '}';
                }
                half = false;
                lastControl = -1;
                break;
            default:
                break;
        }
    }
    if (group) return std::nullopt;
    closeBrace();
    return out;
}

std::optional<std::string> GetCodeText(const Caption& caption) {
    return FormatMnemonics(BuildCodeString(caption));
}

}  // namespace vantrel
