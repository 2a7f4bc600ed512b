// Cuts an encoded pair stream into the lines of the text formats (.scc, .ccd).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vantrel {

constexpr size_t kMaxPairsPerLine = 256;

// A run of pairs written on one timecode line.
struct PairLine {
    int64_t frame;     // the frame of its first pair
    size_t firstByte;  // offset of its first pair in the stream
    size_t pairCount;
};

// Null pairs are stepped over; a line starts at the next pair that carries data and ends
// before a null pair, after End Of Caption (0x94 0x2F as encoded), after 256 pairs, or at the
// end of the stream. A last single byte counts as a pair when it carries data.
std::vector<PairLine> SplitPairLines(std::span<const uint8_t> stream);

}  // namespace vantrel
