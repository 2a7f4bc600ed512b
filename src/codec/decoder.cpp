#include "codec/decoder.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "codec/tables.h"

namespace vantrel {

namespace {

constexpr uint8_t kEocFirst = 0x94, kEocSecond = 0xAF;
constexpr uint8_t kEdmFirst = 0x94, kEdmSecond = 0xAC;
constexpr uint8_t kFragmentEnm = 0xFE;
constexpr uint8_t kFragmentEoc = 0x06;
constexpr uint8_t kFragmentEdm = 0xFF;
constexpr uint8_t kFragmentRcl = 0x02;
// A caption still shown when the stream ends stays up at least this long.
constexpr size_t kLastCaptionFrames = 60;

// First bytes 0x08-0x0F and 0x18-0x1F: the second caption channel and its neighbours.
bool IsOtherChannelFirst(uint8_t low7) {
    return (low7 & 0x70) <= 0x10 && (low7 & 0x08) != 0;
}

// The single-byte fragment of a control pair, or 0.
uint8_t SingleFragment(uint8_t first7, uint8_t second7) {
    const CodeFragment& f = ControlPairMap[first7 & 7][second7];
    return f.length == 1 ? f.bytes[0] : 0;
}

// RU2, RU3, RU4 and RDC: the codes after which text goes to the screen directly.
bool IsDirectStyleCode(uint8_t fragment) {
    return fragment == 0x9D || fragment == 0x9E || fragment == 0x9F || fragment == 0x03;
}

// No cell shows anything: not a character, not a code cell.
bool ShowsNothing(const Caption& caption) {
    for (int r = 0; r < kScreenRows; ++r) {
        for (const CaptionCell& cell : caption.cells[r]) {
            if (cell.character != 0) return false;
        }
    }
    return true;
}

// Counts the codes and pairs that DecodePairs leaves out of every caption, pair by pair with
// its rule for doubled codes.
SkippedData CountSkippedData(std::span<const uint8_t> bytes) {
    SkippedData out;
    int lastPair = -1;
    bool afterRepeat = false;
    bool otherChannel = false;
    auto note = [](size_t& count, int64_t& first, size_t frame) {
        if (count++ == 0) first = static_cast<int64_t>(frame);
    };
    for (size_t k = 0; k < bytes.size() / 2; ++k) {
        const uint8_t a = bytes[2 * k] & 0x7F, b = bytes[2 * k + 1] & 0x7F;
        if (SingleByteMap[a] != kControlPairFirst && !IsOtherChannelFirst(a)) {
            lastPair = -1;
            afterRepeat = false;
            if (otherChannel && (a != 0 || b != 0)) {
                note(out.otherChannelPairs, out.firstOtherChannelFrame, k);
            }
            continue;
        }
        const int pair = a << 8 | b;
        const bool repeat = pair == lastPair && !afterRepeat;
        afterRepeat = repeat;
        lastPair = pair;
        otherChannel = IsOtherChannelFirst(a);
        if (otherChannel) {
            note(out.otherChannelPairs, out.firstOtherChannelFrame, k);
        } else if (!repeat && IsDirectStyleCode(SingleFragment(a, b))) {
            note(out.directCodes, out.firstDirectFrame, k);
        }
    }
    return out;
}

bool IsExtendedFragment(uint8_t first7, uint8_t second7) {
    const uint8_t group = first7 & 7;
    return (group == 2 || group == 3) && second7 >= 0x20 && second7 <= 0x3F;
}

}  // namespace

CodeString DecodePairs(std::span<const uint8_t> bytes, LoadingStyle& style) {
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
            if (!otherChannel && style == LoadingStyle::PopOn) {
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
        const uint8_t single = f.length == 1 ? f.bytes[0] : 0;
        if (IsDirectStyleCode(single)) {
            style = LoadingStyle::Direct;
            continue;
        }
        if (single == kFragmentRcl) style = LoadingStyle::PopOn;
        if (single == kFragmentEdm) continue;
        if (single == kFragmentEnm) {
            out.assign(1, kFragmentEnm);
            lastWasCharacter = false;
            continue;
        }
        if (single == kFragmentEoc) {
            out.push_back(kFragmentEoc);
            break;
        }
        if (style == LoadingStyle::Direct) continue;  // addresses the screen, not the caption
        // An extended character takes the place of the basic fallback sent just before it.
        if (IsExtendedFragment(b, second) && lastWasCharacter && !out.empty()) out.pop_back();
        out.insert(out.end(), f.bytes, f.bytes + f.length);
        lastWasCharacter = false;
    }
    return out;
}

SkippedData DecodePairStream(CaptionList& list, std::span<const uint8_t> bytes,
                             const std::atomic<int>* cancel) {
    const size_t n = bytes.size() / 2;
    auto pairIs = [&](size_t k, uint8_t first, uint8_t second) {
        return k < n && bytes[2 * k] == first && bytes[2 * k + 1] == second;
    };
    auto isEoc = [&](size_t k) { return pairIs(k, kEocFirst, kEocSecond); };
    auto isEdm = [&](size_t k) { return pairIs(k, kEdmFirst, kEdmSecond); };

    // The captions that end-of-caption codes show, in stream order, starting on their code.
    std::vector<std::unique_ptr<Caption>> shown;
    LoadingStyle style = LoadingStyle::PopOn;
    size_t pos = 0;
    size_t e = 0;  // search position for the next end of caption; never moves backward
    size_t clippedCharacters = 0, flashErases = 0;
    int64_t firstClipped = -1, firstFlashErase = -1;
    CancelPoll cancelled(cancel);
    while (pos < n) {
        if (cancelled()) return {};
        if (e < pos) e = pos;
        while (e < n && !isEoc(e)) ++e;
        if (e >= n) break;
        if (e == pos) {  // the second of two EOCs, or nothing loaded before this one
            ++pos;
            continue;
        }
        auto caption = std::make_unique<Caption>();
        const size_t clipped =
            LoadCodeString(*caption, DecodePairs(bytes.subspan(2 * pos, 2 * (e + 1 - pos)), style));
        if (clipped > 0 && clippedCharacters == 0) firstClipped = static_cast<int64_t>(e);
        clippedCharacters += clipped;
        pos = e + 1;
        if (ShowsNothing(*caption)) continue;  // an erase of the caption before, not a caption
        caption->screenValid = 1;
        caption->startFrame = static_cast<int32_t>(e);
        shown.push_back(std::move(caption));
    }

    // Each caption ends on the next code that replaces or erases it, searched from two frames
    // on (past a doubled EOC): another caption replaces it (Seamless); an EDM, or an EOC that
    // shows nothing, erases it, directly before the next caption (Persistent) or not (Manual).
    // An EDM right after the EOC, which would flash the caption for one frame, is counted.
    for (size_t i = 0; i < shown.size(); ++i) {
        Caption& caption = *shown[i];
        const size_t start = static_cast<size_t>(caption.startFrame);
        const size_t next =
            i + 1 < shown.size() ? static_cast<size_t>(shown[i + 1]->startFrame) : SIZE_MAX;
        if (isEdm(start + 1) && flashErases++ == 0)
            firstFlashErase = static_cast<int64_t>(start + 1);
        size_t k = start + 2;
        while (k < n && !isEoc(k) && !isEdm(k)) ++k;
        if (k >= n) {
            caption.endFrame = static_cast<int32_t>(std::max(n, start + kLastCaptionFrames));
            caption.timingMode = Manual;
        } else {
            caption.endFrame = static_cast<int32_t>(k);
            caption.timingMode = next == k ? Seamless : next == k + 1 ? Persistent : Manual;
        }
        list.Insert(std::move(shown[i]));
    }
    SkippedData skipped = CountSkippedData(bytes);
    skipped.clippedCharacters = clippedCharacters;
    skipped.firstClippedFrame = firstClipped;
    skipped.flashErases = flashErases;
    skipped.firstFlashEraseFrame = firstFlashErase;
    return skipped;
}

}  // namespace vantrel
