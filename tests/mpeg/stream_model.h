// A plain model of what the multiplexer does, for the tests and the extract fuzz target alike:
// the stream split at every start code by a byte-by-byte scan, with no window and no pieces.
// Plain C++ only, so that the fuzz target can use it without the test framework.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mpeg/start_code_reader.h"

namespace vantrel::testing {

using StreamBytes = std::vector<uint8_t>;

// The plain model: units by a byte-by-byte scan; bytes before the first start code go first.
inline std::vector<StreamBytes> SplitUnits(const StreamBytes& s) {
    std::vector<StreamBytes> units;
    size_t begin = 0;
    for (size_t i = 1; i + 2 < s.size(); ++i) {
        if (s[i] == 0 && s[i + 1] == 0 && s[i + 2] == 1) {
            units.emplace_back(s.begin() + begin, s.begin() + i);
            begin = i;
        }
    }
    if (begin < s.size()) units.emplace_back(s.begin() + begin, s.end());
    return units;
}

inline bool IsCaptionUnit(const StreamBytes& u) {
    static constexpr uint8_t kHeader[8] = {0, 0, 1, 0xB2, 0x43, 0x43, 0x01, 0xF8};
    return u.size() >= 8 && std::memcmp(u.data(), kHeader, 8) == 0;
}

// The stream without its caption user data.
inline StreamBytes WithoutCaptionUnits(const StreamBytes& s) {
    StreamBytes out;
    for (const StreamBytes& u : SplitUnits(s)) {
        if (!IsCaptionUnit(u)) out.insert(out.end(), u.begin(), u.end());
    }
    return out;
}

// Whether a multiplex takes the stream: after any zero bytes, a sequence header.
inline bool BeginsWithSequenceHeader(const StreamBytes& s) {
    const size_t head = std::min(s.size(), kReaderWindowSize);  // what the multiplex looks at
    size_t zeros = 0;
    while (zeros < head && s[zeros] == 0) ++zeros;
    return zeros >= 2 && zeros + 1 < head && s[zeros] == 1 && s[zeros + 1] == 0xB3;
}

// Pictures that a multiplex gives caption pairs: those after the first group header.
inline size_t CarriedPictures(const StreamBytes& s) {
    size_t carried = 0;
    bool groupSeen = false;
    for (const StreamBytes& u : SplitUnits(s)) {
        if (u.size() < 4 || u[0] != 0 || u[1] != 0 || u[2] != 1) continue;
        if (u[3] == 0x00 && groupSeen) ++carried;
        if (u[3] == 0xB8) groupSeen = true;
    }
    return carried;
}

// The pairs of an encoded caption stream that a copy with `pictures` carried pictures gives
// back: the first `pictures` of them, the last an erase (94 2C) when the stream goes on.
inline StreamBytes ExpectedPairs(const StreamBytes& encoded, size_t pictures) {
    StreamBytes pairs;
    for (size_t k = 0; k < 2 * pictures; ++k) {
        pairs.push_back(k < encoded.size() ? (encoded[k] | 0x80) : 0x80);
    }
    const bool goesOn = std::any_of(encoded.begin() + std::min(encoded.size(), 2 * pictures),
                                    encoded.end(), [](uint8_t b) { return b != 0x80; });
    if (pictures > 0 && goesOn) {
        pairs[2 * pictures - 2] = 0x94;
        pairs[2 * pictures - 1] = 0xAC;
    }
    return pairs;
}

}  // namespace vantrel::testing
