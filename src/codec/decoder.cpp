#include "codec/decoder.h"

#include "codec/tables.h"

namespace vantrel {

namespace {

constexpr uint8_t kEocFirst = 0x94, kEocSecond = 0xAF;
constexpr uint8_t kEdmFirst = 0x94, kEdmSecond = 0xAC;
constexpr uint8_t kFragmentEnm = 0xFE;
constexpr uint8_t kFragmentEoc = 0x06;
constexpr uint8_t kFragmentEdm = 0xFF;

// First bytes 0x08-0x0F and 0x18-0x1F: the second caption channel and its neighbours.
bool IsOtherChannelFirst(uint8_t low7) {
    return (low7 & 0x70) <= 0x10 && (low7 & 0x08) != 0;
}

bool IsExtendedFragment(uint8_t first7, uint8_t second7) {
    const uint8_t group = first7 & 7;
    return (group == 2 || group == 3) && second7 >= 0x20 && second7 <= 0x3F;
}

}  // namespace

CodeString DecodePairs(std::span<const uint8_t> bytes) {
    CodeString out;
    size_t i = 0;
    int lastPair = -1;              // the control pair of the unit just before, -1 for none
    bool afterRepeat = false;       // the unit before was a dropped repetition
    bool otherChannel = false;      // characters now belong to another channel
    bool lastWasCharacter = false;  // the last unit written (nulls aside) was a character

    while (i < bytes.size() && bytes[i] != 0) {
        const uint8_t b = bytes[i] & 0x7F;
        if (b == 0) {  // null byte
            ++i;
            lastPair = -1;
            afterRepeat = false;
            continue;
        }
        const uint8_t mapped = SingleByteMap[b];
        if (mapped != kControlPairFirst && !IsOtherChannelFirst(b)) {
            ++i;
            lastPair = -1;
            afterRepeat = false;
            if (!otherChannel) {
                out.push_back(mapped);
                lastWasCharacter = true;
            }
            continue;
        }
        // A control pair; a lone first byte at the end ends the decoding.
        if (i + 1 >= bytes.size() || bytes[i + 1] == 0) break;
        const uint8_t second = bytes[i + 1] & 0x7F;
        i += 2;
        const int pair = b << 8 | second;
        if (pair == lastPair && !afterRepeat) {
            afterRepeat = true;  // a doubled code; a third copy counts again
            continue;
        }
        afterRepeat = false;
        lastPair = pair;
        if (IsOtherChannelFirst(b)) {
            otherChannel = true;  // a receiver on channel 1 ignores this channel's data
            continue;
        }
        otherChannel = false;
        const CodeFragment& f = ControlPairMap[b & 7][second];
        if (f.length == 1 && f.bytes[0] == kFragmentEdm) continue;
        if (f.length == 1 && f.bytes[0] == kFragmentEnm) {
            out.assign(1, kFragmentEnm);
            lastWasCharacter = false;
            continue;
        }
        if (f.length == 1 && f.bytes[0] == kFragmentEoc) {
            out.push_back(kFragmentEoc);
            break;
        }
        // An extended character takes the place of the basic fallback sent just before it.
        if (IsExtendedFragment(b, second) && lastWasCharacter && !out.empty()) out.pop_back();
        out.insert(out.end(), f.bytes, f.bytes + f.length);
        lastWasCharacter = false;
    }
    return out;
}

void DecodePairStream(CaptionList& list, std::span<const uint8_t> bytes) {
    const size_t n = bytes.size() / 2;
    auto pairIs = [&](size_t k, uint8_t first, uint8_t second) {
        return k < n && bytes[2 * k] == first && bytes[2 * k + 1] == second;
    };
    auto isEoc = [&](size_t k) { return pairIs(k, kEocFirst, kEocSecond); };
    auto isEdm = [&](size_t k) { return pairIs(k, kEdmFirst, kEdmSecond); };

    size_t pos = 0;
    size_t e = 0;  // search position for the next end of caption; never moves backward
    while (pos < n) {
        if (e < pos) e = pos;
        while (e < n && !isEoc(e)) ++e;
        if (e >= n) break;
        if (e == pos) {  // the second of two EOCs, or nothing loaded before this one
            ++pos;
            continue;
        }
        size_t k = e + 2;
        if (k >= n) {
            k = n;
        } else {
            while (k < n && !isEoc(k) && !isEdm(k)) ++k;
        }
        if (k >= n) break;  // nothing ends the caption: it is not made
        int8_t mode = Seamless;
        if (isEdm(k)) mode = isEoc(k + 1) ? Persistent : Manual;

        auto* caption = new Caption;
        LoadCodeString(*caption, DecodePairs(bytes.subspan(2 * pos)));
        caption->screenValid = 1;
        caption->startFrame = static_cast<int32_t>(e);
        caption->endFrame = static_cast<int32_t>(k);
        caption->timingMode = mode;
        list.Insert(caption);
        pos = e + 1;
    }
}

void DecodePairStream(CaptionProject& project, std::span<const uint8_t> bytes) {
    project.modified = 1;
    DecodePairStream(project.captions, bytes);
}

}  // namespace vantrel
