// Pieces shared by the .scc and .ccd readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vantrel {

// Caption data begins at this character of a timecode line.
constexpr size_t kTimecodeDataColumn = 12;

// The text without a leading UTF-8 byte order mark.
inline std::span<const uint8_t> SkipByteOrderMark(std::span<const uint8_t> text) {
    if (text.size() >= 3 && text[0] == 0xEF && text[1] == 0xBB && text[2] == 0xBF) {
        return text.subspan(3);
    }
    return text;
}

inline bool StartsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

}  // namespace vantrel
