// A plain model of a stream for checking the multiplexer: the stream split at every start code
// by a byte-by-byte scan, with no window and no pieces.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "mpeg/stream_files.h"

namespace vantrel::testing {

inline std::vector<Bytes> SplitUnits(const Bytes& s) {
    std::vector<Bytes> units;
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

inline bool IsCaptionUnit(const Bytes& u) {
    static constexpr uint8_t kHeader[8] = {0, 0, 1, 0xB2, 0x43, 0x43, 0x01, 0xF8};
    return u.size() >= 8 && std::memcmp(u.data(), kHeader, 8) == 0;
}

inline bool IsUnitOf(const Bytes& u, uint8_t code) {
    return u.size() >= 4 && u[0] == 0 && u[1] == 0 && u[2] == 1 && u[3] == code;
}

// The stream without its caption user data.
inline Bytes WithoutCaptionUnits(const Bytes& s) {
    Bytes out;
    for (const Bytes& u : SplitUnits(s)) {
        if (!IsCaptionUnit(u)) Append(out, u);
    }
    return out;
}

// Whether a multiplex takes the stream: after any zero bytes, a sequence header.
inline bool BeginsWithSequenceHeader(const Bytes& s) {
    size_t zeros = 0;
    while (zeros < s.size() && s[zeros] == 0) ++zeros;
    return zeros >= 2 && zeros + 1 < s.size() && s[zeros] == 1 && s[zeros + 1] == 0xB3;
}

// Pictures that a multiplex gives caption pairs: those after the first group header.
inline size_t CarriedPictures(const Bytes& s) {
    size_t carried = 0;
    bool groupSeen = false;
    for (const Bytes& u : SplitUnits(s)) {
        if (IsUnitOf(u, 0x00) && groupSeen) ++carried;
        if (IsUnitOf(u, 0xB8)) groupSeen = true;
    }
    return carried;
}

// The pairs of an encoded caption stream that a copy with `pictures` carried pictures gives
// back: the first `pictures` of them, the last an erase (94 2C) when the stream goes on.
inline Bytes ExpectedPairs(const Bytes& encoded, size_t pictures) {
    Bytes pairs;
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
