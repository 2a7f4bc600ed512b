// Pair streams written as words, one pair a frame, for the decoder's and the encoder's tests.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "codec/table_lists.h"

namespace vantrel::testing {

// Channel-1 commands by name (RCL, ENM, EOC, EDM, RU2, RU3, RU4, RDC, CR, BS, DER, TR, RTD),
// R1 to R15 for the row preambles (indent 0), 'HI' for two characters ('A' pads with a null
// byte, '_' is a space), four hex digits for any other pair, N5 for five null pairs, @50 for null
// pairs up to frame 50. Bit 7 is set on every byte.
inline std::vector<uint8_t> Stream(const std::string& text) {
    static const std::pair<const char*, int> kCodes[] = {
        {"RCL", 0x1420}, {"ENM", 0x142E}, {"EOC", 0x142F}, {"EDM", 0x142C}, {"RU2", 0x1425},
        {"RU3", 0x1426}, {"RU4", 0x1427}, {"RDC", 0x1429}, {"CR", 0x142D},  {"BS", 0x1421},
        {"DER", 0x1424}, {"TR", 0x142A},  {"RTD", 0x142B},
    };
    std::vector<uint8_t> bytes;
    auto pair = [&](int a, int b) {
        a = a == '_' ? ' ' : a;
        b = b == '_' ? ' ' : b;
        bytes.push_back(static_cast<uint8_t>(a | 0x80));
        bytes.push_back(static_cast<uint8_t>(b | 0x80));
    };
    std::istringstream in(text);
    for (std::string t; in >> t;) {
        int code = -1;
        for (const auto& [name, value] : kCodes) code = t == name ? value : code;
        if (t[0] == 'R' && t.size() <= 3 && t[1] >= '0' && t[1] <= '9')
            code = table_lists::kRowCodes[std::stoi(t.substr(1)) - 1] | 0x10;  // indent 0
        if (code >= 0)
            pair(code >> 8, code & 0xFF);
        else if (t[0] == '\'')
            pair(t[1], t.size() > 3 ? t[2] : 0x80);
        else if (t[0] == 'N')
            for (int n = std::stoi(t.substr(1)); n > 0; --n) pair(0x80, 0x80);
        else if (t[0] == '@')
            while (bytes.size() / 2 < std::stoul(t.substr(1))) pair(0x80, 0x80);
        else
            pair(std::stoi(t.substr(0, 2), nullptr, 16), std::stoi(t.substr(2), nullptr, 16));
    }
    return bytes;
}

}  // namespace vantrel::testing
