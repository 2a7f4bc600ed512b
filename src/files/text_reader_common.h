// Pieces shared by the .scc and .ccd readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "files/pair_stream.h"
#include "files/pair_stream_builder.h"
#include "files/text_lines.h"
#include "files/timecode.h"

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

// Reads the timecode lines after the header lines: each line's data goes through `readData`
// at the line's own frame; lines that overlap data already placed are skipped, lines past the
// last readable frame are counted.
template <typename ReadData>
void ReadTimecodeLines(TextLines& lines, CaptionFileData& result, ReadData readData) {
    PairStreamBuilder builder;
    std::string_view line;
    while (lines.Next(line)) {
        const std::optional<int64_t> frame = ParseTimecodeLine(line);
        if (!frame) continue;
        switch (builder.StartLine(*frame)) {
            case PairStreamBuilder::LineStart::Placed:
                readData(line, builder);
                break;
            case PairStreamBuilder::LineStart::Overlapping:
                break;
            case PairStreamBuilder::LineStart::BeyondLimit:
                ++result.linesBeyondLimit;
                break;
        }
    }
    result.pairs = builder.Take();
}

}  // namespace vantrel
