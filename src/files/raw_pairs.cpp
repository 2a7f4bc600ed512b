#include "files/raw_pairs.h"

#include <algorithm>

#include "files/timecode.h"
#include "files/timecode_lines.h"

namespace vantrel {

size_t MaxRawPairBytes() {
    return static_cast<size_t>(kMaxReadFrame + 1) * 2;
}

CaptionFileData ReadRawPairs(std::span<const uint8_t> file) {
    CaptionFileData result;
    if (file.size() < kRawHeaderSize) return result;
    result.recognized = true;
    std::span<const uint8_t> pairs = file.subspan(kRawHeaderSize);
    if (pairs.size() > MaxRawPairBytes()) {
        pairs = pairs.first(MaxRawPairBytes());
        result.truncated = true;
    }
    // Parity goes, once counted; bit 7 marks every byte as data, so that no byte of the stream
    // is zero.
    for (size_t k = 0; k + 1 < pairs.size(); k += 2) {
        if (HasBadParity(pairs[k], pairs[k + 1])) result.badParity.Add(0, int64_t(k / 2));
    }
    result.pairs.resize(pairs.size());
    std::transform(pairs.begin(), pairs.end(), result.pairs.begin(),
                   [](uint8_t b) { return static_cast<uint8_t>(b | 0x80); });
    return result;
}

std::string FormatRawPairs(std::span<const uint8_t> stream) {
    std::string out(kRawHeaderSize, static_cast<char>(kRawFileHeaderByte));
    out.append(reinterpret_cast<const char*>(stream.data()), stream.size());
    return out;
}

}  // namespace vantrel
