#include "carriers/caption_payloads.h"

#include <algorithm>
#include <cstring>

#include "dtvcc/dtvcc_packets.h"
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

bool ReadGa94(std::span<const uint8_t> data, const PairSink& pair, const DtvccSink* dtvcc) {
    std::span<const uint8_t> entries;
    size_t count = 0;
    if (!Ga94Entries(data, entries, count)) return false;
    ForEach608Pair(entries, count, pair);
    if (dtvcc) ForEach708Entry(entries, count, *dtvcc);
    return true;
}

void ReadMpeg2UserData(std::span<const uint8_t> picture, const PairSink& pair,
                       const DtvccSink* dtvcc) {
    static constexpr uint8_t kDvd[4] = {0x43, 0x43, 0x01, 0xF8};
    for (size_t at = NextStartCode(picture, 0); at + 3 < picture.size();) {
        const size_t end = NextStartCode(picture, at + 3);
        if (picture[at + 3] == kUserDataStartCode) {
            const std::span<const uint8_t> unit = picture.subspan(at + 4, end - at - 4);
            if (StartsWith(unit, kDvd, sizeof kDvd)) {
                ReadDvdTriplets(unit, pair);
            } else {
                ReadGa94(unit, pair, dtvcc);
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
                     const PairSink& pair, const DtvccSink* dtvcc) {
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
            ReadGa94(payload.subspan(3), pair, dtvcc);
        });
    });
}

namespace {

constexpr uint8_t kT35Ga94[] = {0xB5, 0x00, 0x31, 'G', 'A', '9', '4', 0x03};

bool IsCaptionMessage(unsigned type, std::span<const uint8_t> payload) {
    return type == kRegisteredUserData && StartsWith(payload, kT35Ga94, sizeof kT35Ga94);
}

void AppendSeiNumber(std::vector<uint8_t>& out, size_t value) {
    for (; value >= 0xFF; value -= 0xFF) out.push_back(0xFF);
    out.push_back(static_cast<uint8_t>(value));
}

void AppendSeiMessage(std::vector<uint8_t>& out, unsigned type, std::span<const uint8_t> payload) {
    AppendSeiNumber(out, type);
    AppendSeiNumber(out, payload.size());
    out.insert(out.end(), payload.begin(), payload.end());
}

bool IsPictureData(std::span<const uint8_t> nal, VideoCoding coding) {
    if (nal.empty()) return false;
    if (coding == VideoCoding::Hevc) return ((nal[0] >> 1) & 0x3F) < 32;
    const int type = nal[0] & 0x1F;
    return type >= 1 && type <= 5;
}

}  // namespace

std::vector<uint8_t> CaptionSeiPayload(std::span<const uint8_t> pairs, size_t ccCount,
                                       size_t pairSlots, std::span<const uint8_t> dtvcc) {
    std::vector<uint8_t> out(std::begin(kT35Ga94), std::end(kT35Ga94));
    out.push_back(static_cast<uint8_t>(0x40 | (ccCount & kCcCountMask)));  // process cc_data
    out.push_back(0xFF);                                                   // em_data
    size_t k = 0;
    for (; k < ccCount && 2 * k + 1 < pairs.size(); ++k)
        out.insert(out.end(), {kField1Entry, pairs[2 * k], pairs[2 * k + 1]});
    for (; k < std::min(pairSlots, ccCount); ++k) out.insert(out.end(), {kUnusedEntry, 0x00, 0x00});
    dtvcc::AppendEntries(out, dtvcc, ccCount - k);
    out.push_back(0xFF);  // marker bits
    return out;
}

std::vector<uint8_t> EscapedNal(std::span<const uint8_t> rbsp) {
    std::vector<uint8_t> out;
    out.reserve(rbsp.size() + rbsp.size() / 64 + 1);
    int zeros = 0;
    for (const uint8_t b : rbsp) {
        if (zeros >= 2 && b <= 0x03) {
            out.push_back(0x03);
            zeros = 0;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        out.push_back(b);
    }
    return out;
}

std::vector<uint8_t> WithCaptionSei(std::span<const uint8_t> accessUnit, VideoCoding coding,
                                    int lengthSize, std::span<const uint8_t> payload) {
    const bool hevc = coding == VideoCoding::Hevc;
    const size_t headerBytes = hevc ? 2 : 1;
    std::vector<uint8_t> out;
    out.reserve(accessUnit.size() + payload.size() + 16);
    const auto appendNal = [&](std::span<const uint8_t> nal) {
        if (lengthSize <= 0) {
            out.insert(out.end(), {0x00, 0x00, 0x00, 0x01});
        } else {
            for (int k = lengthSize - 1; k >= 0; --k) {
                out.push_back(static_cast<uint8_t>(nal.size() >> (8 * k)));
            }
        }
        out.insert(out.end(), nal.begin(), nal.end());
    };
    std::vector<uint8_t> ours =
        hevc ? std::vector<uint8_t>{kHevcPrefixSei << 1, 0x01} : std::vector<uint8_t>{kH264Sei};
    {
        std::vector<uint8_t> rbsp;
        AppendSeiMessage(rbsp, kRegisteredUserData, payload);
        rbsp.push_back(0x80);
        const std::vector<uint8_t> escaped = EscapedNal(rbsp);
        ours.insert(ours.end(), escaped.begin(), escaped.end());
    }
    bool inserted = false;
    const uint8_t* const base = accessUnit.data();
    // Each NAL unit with what goes before it (its length, or its start code and any zeros),
    // copied as it is unless it is an SEI unit holding a caption message.
    size_t copied = 0;
    ForEachNal(accessUnit, lengthSize, [&](std::span<const uint8_t> nal) {
        const auto begin = static_cast<size_t>(nal.data() - base);
        const std::span<const uint8_t> before = accessUnit.subspan(copied, begin - copied);
        copied = begin + nal.size();
        // What comes before the unit's own start code (zeros, or bytes before the first start
        // code) stays where it is; a unit put in goes after it.
        const size_t codeBytes =
            lengthSize <= 0 ? std::min<size_t>(3, before.size()) : before.size();
        out.insert(out.end(), before.begin(),
                   before.end() - static_cast<std::ptrdiff_t>(codeBytes));
        if (!inserted && IsPictureData(nal, coding)) {
            appendNal(ours);
            inserted = true;
        }
        const uint8_t type = nal.empty() ? 0 : hevc ? (nal[0] >> 1) & 0x3F : nal[0] & 0x1F;
        const bool sei =
            nal.size() > headerBytes &&
            (hevc ? type == kHevcPrefixSei || type == kHevcSuffixSei : type == kH264Sei);
        if (sei) {
            const std::vector<uint8_t> rbsp = UnescapedNal(nal.subspan(headerBytes));
            std::vector<uint8_t> kept;
            bool dropped = false;
            ForEachSeiMessage(rbsp, [&](unsigned t, std::span<const uint8_t> p) {
                if (IsCaptionMessage(t, p)) {
                    dropped = true;
                } else {
                    AppendSeiMessage(kept, t, p);
                }
            });
            if (dropped) {
                if (kept.empty()) return;
                kept.push_back(0x80);
                std::vector<uint8_t> unit(nal.begin(), nal.begin() + headerBytes);
                const std::vector<uint8_t> escaped = EscapedNal(kept);
                unit.insert(unit.end(), escaped.begin(), escaped.end());
                appendNal(unit);
                return;
            }
        }
        out.insert(out.end(), before.end() - static_cast<std::ptrdiff_t>(codeBytes), before.end());
        out.insert(out.end(), nal.begin(), nal.end());
    });
    out.insert(out.end(), accessUnit.begin() + static_cast<std::ptrdiff_t>(copied),
               accessUnit.end());
    if (!inserted) appendNal(ours);
    return out;
}

std::vector<uint8_t> WithA53UserData(std::span<const uint8_t> picture,
                                     std::span<const uint8_t> ga94) {
    constexpr uint8_t kFirstSlice = 0x01, kLastSlice = 0xAF;
    std::vector<uint8_t> out;
    out.reserve(picture.size() + ga94.size() + 4);
    bool inserted = false;
    size_t at = NextStartCode(picture, 0);
    out.insert(out.end(), picture.begin(), picture.begin() + static_cast<std::ptrdiff_t>(at));
    while (at < picture.size()) {
        const size_t end = NextStartCode(picture, at + 3);
        const std::span<const uint8_t> unit = picture.subspan(at, end - at);
        const uint8_t code = unit.size() > 3 ? unit[3] : 0xFF;
        if (!inserted && code >= kFirstSlice && code <= kLastSlice) {
            out.insert(out.end(), {0x00, 0x00, 0x01, kUserDataStartCode});
            out.insert(out.end(), ga94.begin(), ga94.end());
            inserted = true;
        }
        const bool a53 = code == kUserDataStartCode && unit.size() >= 9 &&
                         std::memcmp(unit.data() + 4, "GA94", 4) == 0 && unit[8] == 0x03;
        if (!a53) out.insert(out.end(), unit.begin(), unit.end());
        at = end;
    }
    if (!inserted) {
        out.insert(out.end(), {0x00, 0x00, 0x01, kUserDataStartCode});
        out.insert(out.end(), ga94.begin(), ga94.end());
    }
    return out;
}

int Mpeg2TemporalReference(std::span<const uint8_t> picture, bool& groupStarts) {
    constexpr uint8_t kGroupStartCode = 0xB8;
    groupStarts = false;
    for (size_t at = NextStartCode(picture, 0); at + 5 < picture.size();
         at = NextStartCode(picture, at + 3)) {
        if (picture[at + 3] == kGroupStartCode) groupStarts = true;
        if (picture[at + 3] == 0x00) return picture[at + 4] << 2 | picture[at + 5] >> 6;
    }
    return -1;
}

}  // namespace vantrel
