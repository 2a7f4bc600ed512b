// What the caption-file readers make of a file: the pair stream that the decoder cuts into
// captions, and what the reader had to leave out on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantrel {

// Pair k (bytes 2k and 2k + 1) is the field-1 pair of frame k; every byte has bit 7 set and a
// frame without data holds the null pair 0x80 0x80. The decoder reads whole pairs only.
using PairStream = std::vector<uint8_t>;

struct CaptionFileData {
    // The file is of the format asked for (its header line is right; a raw file holds its
    // 4-byte header). When false nothing is imported and nothing is said.
    bool recognized = false;
    PairStream pairs;
    // Timecode lines left out because their frame lies beyond the last frame we read, and the
    // frame of the first of them (-1 when there is none).
    size_t linesBeyondLimit = 0;
    int64_t firstLineBeyondLimit = -1;
    // A raw file whose pairs go on past the last frame we read.
    bool truncated = false;
};

}  // namespace vantrel
