#include "files/pair_lines.h"

namespace vantrel {

namespace {

constexpr uint8_t kNull = 0x80;

}  // namespace

std::vector<PairLine> SplitPairLines(std::span<const uint8_t> stream) {
    // A stream of odd length ends in half a pair; its missing byte reads as a null byte.
    auto byteAt = [&](size_t i) { return i < stream.size() ? stream[i] : kNull; };
    auto isNullPair = [&](size_t i) { return byteAt(i) == kNull && byteAt(i + 1) == kNull; };
    auto isEndOfCaption = [&](size_t i) { return byteAt(i) == 0x94 && byteAt(i + 1) == 0x2F; };

    std::vector<PairLine> lines;
    size_t i = 0;
    while (true) {
        while (i < stream.size() && isNullPair(i)) i += 2;
        if (i >= stream.size()) break;
        PairLine line{static_cast<int64_t>(i / 2), i, 0};
        while (i < stream.size() && !isNullPair(i) && line.pairCount < kMaxPairsPerLine) {
            const bool endOfCaption = isEndOfCaption(i);
            ++line.pairCount;
            i += 2;
            if (endOfCaption) break;
        }
        lines.push_back(line);
    }
    return lines;
}

}  // namespace vantrel
