#include "carriers/caption_payloads.h"

#include <cstring>

#include "files/cc_data.h"
#include "mpeg/caption_user_data.h"

namespace vantrel {

namespace {

constexpr uint8_t kUserDataStartCode = 0xB2;
constexpr size_t kDvdHeaderBytes = 5;  // "CC" 01 F8 and the attribute byte, after the start code
// An SEI message of registered user data: country United States, provider ATSC, then "GA94".
constexpr unsigned kRegisteredUserData = 4;
constexpr uint8_t kT35Prefix[3] = {0xB5, 0x00, 0x31};
constexpr uint8_t kH264Sei = 6;
constexpr uint8_t kHevcPrefixSei = 39;
constexpr uint8_t kHevcSuffixSei = 40;

bool StartsWith(std::span<const uint8_t> data, const uint8_t* prefix, size_t n) {
    return data.size() >= n && std::memcmp(data.data(), prefix, n) == 0;
}

// The offset of the next start code prefix 00 00 01 at or after `from`, or the size.
size_t NextStartCode(std::span<const uint8_t> data, size_t from) {
    for (size_t i = from; i + 2 < data.size(); ++i) {
        if (data[i + 2] > 1) {
            i += 2;  // no prefix can end at i + 2, so none starts at i, i + 1 or i + 2
            continue;
        }
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) return i;
    }
    return data.size();
}

void ReadDvdTriplets(std::span<const uint8_t> unit, const PairSink& pair) {
    for (size_t at = kDvdHeaderBytes; at + 3 <= unit.size(); at += 3) {
        const uint8_t marker = unit[at];
        if (marker != kField1Marker && marker != kField2Marker) break;
        pair(marker == kField1Marker ? 1 : 2, unit[at + 1], unit[at + 2]);
    }
}

}  // namespace

bool ReadGa94(std::span<const uint8_t> data, const PairSink& pair) {
    return ForEachGa94Pair(data, pair);
}

void ReadMpeg2UserData(std::span<const uint8_t> picture, const PairSink& pair) {
    static constexpr uint8_t kDvd[4] = {0x43, 0x43, 0x01, 0xF8};
    for (size_t at = NextStartCode(picture, 0); at + 3 < picture.size();) {
        const size_t end = NextStartCode(picture, at + 3);
        if (picture[at + 3] == kUserDataStartCode) {
            const std::span<const uint8_t> unit = picture.subspan(at + 4, end - at - 4);
            if (StartsWith(unit, kDvd, sizeof kDvd)) {
                ReadDvdTriplets(unit, pair);
            } else {
                ReadGa94(unit, pair);
            }
        }
        at = end;
    }
}

int Mpeg2PictureType(std::span<const uint8_t> picture) {
    for (size_t at = NextStartCode(picture, 0); at + 5 < picture.size();
         at = NextStartCode(picture, at + 3)) {
        if (picture[at + 3] == 0x00) return (picture[at + 5] >> 3) & 0x07;
    }
    return 0;
}

std::vector<uint8_t> UnescapedNal(std::span<const uint8_t> nal) {
    std::vector<uint8_t> out;
    out.reserve(nal.size());
    int zeros = 0;
    for (const uint8_t b : nal) {
        if (zeros >= 2 && b == 0x03) {
            zeros = 0;
            continue;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        out.push_back(b);
    }
    return out;
}

void ForEachNal(std::span<const uint8_t> accessUnit, int lengthSize,
                const std::function<void(std::span<const uint8_t>)>& nal) {
    if (lengthSize <= 0) {
        size_t at = NextStartCode(accessUnit, 0);
        while (at < accessUnit.size()) {
            const size_t begin = at + 3;
            size_t end = NextStartCode(accessUnit, begin);
            const size_t next = end;
            // The zero before a four-byte start code belongs to it, not to this unit.
            while (end > begin && accessUnit[end - 1] == 0) --end;
            nal(accessUnit.subspan(begin, end - begin));
            at = next;
        }
        return;
    }
    const auto n = static_cast<size_t>(lengthSize);
    for (size_t at = 0; at + n <= accessUnit.size();) {
        size_t size = 0;
        for (size_t k = 0; k < n; ++k) size = size << 8 | accessUnit[at + k];
        at += n;
        if (size > accessUnit.size() - at) return;  // a cut unit: nothing after it is sure
        nal(accessUnit.subspan(at, size));
        at += size;
    }
}

void ForEachSeiMessage(std::span<const uint8_t> rbsp,
                       const std::function<void(unsigned, std::span<const uint8_t>)>& message) {
    size_t at = 0;
    // A message begins with at least two bytes; a lone 80 is the trailing bits.
    while (at + 2 <= rbsp.size()) {
        unsigned type = 0, size = 0;
        while (at < rbsp.size() && rbsp[at] == 0xFF) type += rbsp[at++];
        if (at >= rbsp.size()) return;
        type += rbsp[at++];
        while (at < rbsp.size() && rbsp[at] == 0xFF) size += rbsp[at++];
        if (at >= rbsp.size()) return;
        size += rbsp[at++];
        if (size > rbsp.size() - at) return;
        message(type, rbsp.subspan(at, size));
        at += size;
    }
}

void ReadSeiCaptions(std::span<const uint8_t> accessUnit, VideoCoding coding, int lengthSize,
                     const PairSink& pair) {
    const bool hevc = coding == VideoCoding::Hevc;
    const size_t headerBytes = hevc ? 2 : 1;
    ForEachNal(accessUnit, lengthSize, [&](std::span<const uint8_t> nal) {
        if (nal.size() <= headerBytes) return;
        const uint8_t type = hevc ? (nal[0] >> 1) & 0x3F : nal[0] & 0x1F;
        const bool sei = hevc ? type == kHevcPrefixSei || type == kHevcSuffixSei : type == kH264Sei;
        if (!sei) return;
        const std::vector<uint8_t> rbsp = UnescapedNal(nal.subspan(headerBytes));
        ForEachSeiMessage(rbsp, [&](unsigned payloadType, std::span<const uint8_t> payload) {
            if (payloadType != kRegisteredUserData || !StartsWith(payload, kT35Prefix, 3)) return;
            ReadGa94(payload.subspan(3), pair);
        });
    });
}

}  // namespace vantrel
