// Pair streams written as words, one pair a frame: RCL, ENM, EOC, EDM, RU2, RU3, RDC, CR, R14
// and R15 (the row preambles, indent 0), 'HI' (two characters; 'A' pads with a null byte),
// four hex digits for any other pair, N5 for five null pairs, @50 for null pairs up to frame 50.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::testing {

inline std::vector<uint8_t> Stream(const std::string& text) {
    static const std::pair<const char*, int> kCodes[] = {
        {"RCL", 0x1420}, {"ENM", 0x142E}, {"EOC", 0x142F}, {"EDM", 0x142C}, {"RU2", 0x1425},
        {"RU3", 0x1426}, {"RDC", 0x1429}, {"CR", 0x142D},  {"R14", 0x1450}, {"R15", 0x1470},
    };
    std::vector<uint8_t> bytes;
    auto pair = [&](int a, int b) {
        bytes.push_back(static_cast<uint8_t>(a | 0x80));
        bytes.push_back(static_cast<uint8_t>(b | 0x80));
    };
    std::istringstream in(text);
    for (std::string t; in >> t;) {
        int code = -1;
        for (const auto& [name, value] : kCodes) code = t == name ? value : code;
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
