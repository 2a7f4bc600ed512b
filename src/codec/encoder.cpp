#include "codec/encoder.h"

#include <algorithm>
#include <optional>

#include "codec/code_string.h"
#include "codec/codes.h"
#include "codec/tables.h"

namespace vantrel {

namespace {

constexpr uint8_t kNull = kNullCode;
constexpr uint8_t kErasePair[2] = {kPairEdm >> 8, kPairEdm & 0xFF};

uint8_t Parity(int v) {
    return OddParityTable[v & 0x7F];
}

// The 608 bytes of one code string, built in a growing vector.
class CodeEncoder {
  public:
    std::vector<uint8_t> Encode(std::span<const uint8_t> code) {
        for (const uint8_t c : code) {
            if (c == 0) break;
            Step(c);
        }
        SeparateEqualCodes();
        return std::move(out_);
    }

  private:
    void Step(uint8_t c) {
        const uint16_t entry = CodePairTable[c];
        if (pacPending_) {
            pacPending_ = false;
            if (c == kWhiteItalics || (IsColour(c) && ColourOf(c) != kColourBlack)) {
                AddToLast(2 * (c & 7));
                return;
            }
        }
        if (bgPending_) {
            bgPending_ = false;
            if (IsColour(c)) {
                AddToLast(2 * (c & 7));
                return;
            }
        }
        if (entry & kModifierFlag) {
            if (lastWasControl_) AddToLast(entry & 0x7F);
            return;
        }
        SeparateEqualCodes();
        if (const uint8_t fallback = FallbackCharTable[c]) {
            out_.push_back(Parity(fallback));
            if (out_.size() % 2 == 1) out_.push_back(kNull);
            ForgetControls();
        }
        if (entry >= 0x100) {
            if (out_.size() % 2 == 1) out_.push_back(kNull);
            out_.push_back(Parity(entry >> 8));
            out_.push_back(Parity(entry & 0xFF));
            beforeLast_ = last_;
            last_ = out_.size() - 2;
            lastValue_ = Pair(*last_);
            pacPending_ = IsRowByte(c);
            bgPending_ = c == kBackground;
            lastWasControl_ = true;
        } else {
            out_.push_back(Parity(entry & 0x7F));
            lastWasControl_ = false;
            ForgetControls();
        }
    }

    int Pair(size_t at) const { return out_[at] << 8 | out_[at + 1]; }

    // Modifiers and preamble attributes add to the second byte of the code just written.
    void AddToLast(int add) {
        uint8_t& b = out_.back();
        b = Parity((b & 0x7F) + add);
        if (last_) lastValue_ = Pair(*last_);
    }

    void ForgetControls() {
        last_.reset();
        beforeLast_.reset();
    }

    // A receiver drops a control code that repeats the one just before it, so two equal codes
    // in a row get a null pair between them.
    void SeparateEqualCodes() {
        if (!last_ || !beforeLast_ || Pair(*beforeLast_) != lastValue_) return;
        const size_t at = *last_;
        out_.insert(out_.begin() + static_cast<std::ptrdiff_t>(at), {kNull, kNull});
        last_ = at + 2;
        beforeLast_.reset();
    }

    std::vector<uint8_t> out_;
    bool pacPending_ = false;
    bool bgPending_ = false;
    bool lastWasControl_ = false;
    std::optional<size_t> last_;        // offset of the last control pair written
    std::optional<size_t> beforeLast_;  // offset of the control pair written before it
    int lastValue_ = 0;
};

}  // namespace

std::vector<uint8_t> EncodeCodeString(std::span<const uint8_t> code) {
    return CodeEncoder().Encode(code);
}

int32_t GetLoadFrames(Caption& caption) {
    if (caption.loadFrames >= 0) return caption.loadFrames;
    const CodeString code = BuildCodeString(caption, kCodeStringCapacity, RowGaps::TabOffsets);
    int64_t n = 2;
    bool merge = false;
    auto roundUpEven = [&] { n += n & 1; };
    for (const uint8_t c : code) {
        switch (CodeClassTable[c]) {
            case kBasicChar:
                merge = false;
                ++n;
                break;
            case kControlCode:
                if (merge) {
                    merge = false;  // the attribute joins its preamble
                } else {
                    roundUpEven();
                    n += 2;
                }
                break;
            case kRowOrBackground:
                roundUpEven();
                n += 2;
                merge = true;
                break;
            case kModifier:
                merge = false;
                break;
            case kExtendedChar:
                merge = false;
                ++n;
                roundUpEven();
                n += 2;
                break;
            default:
                break;
        }
    }
    caption.loadFrames = static_cast<int32_t>((n + 1) / 2);
    return caption.loadFrames;
}

EncodedCaptions EncodeCaptions(const CaptionList& list, const std::atomic<int>* cancel) {
    EncodedCaptions result;
    // Pair k of frame k is written in place with its parity, so the stream is built once.
    std::vector<uint8_t>& out = result.bytes;
    // It ends at the latest frame a caption names: one allocation, no copies as it grows.
    int64_t last = -1;
    for (const Caption* c = list.Head(); c; c = c->next) {
        if (c->startFrame <= kMaxEncodedFrame && c->endFrame <= kMaxEncodedFrame) {
            last = std::max({last, int64_t{c->startFrame}, int64_t{c->endFrame}});
        }
    }
    out.reserve(static_cast<size_t>(2 * (last + 1)));
    CancelPoll cancelled(cancel);
    int64_t pos = 0;  // the next frame to write
    std::optional<int64_t> prevEnd;
    bool erasePending = false;

    auto append = [&](const uint8_t* bytes, size_t n) {
        const size_t at = out.size();
        out.resize(at + n);
        for (size_t i = 0; i < n; ++i) out[at + i] = Parity(bytes[i]);
    };
    auto fillTo = [&](int64_t frame) {
        if (frame > pos) out.resize(out.size() + static_cast<size_t>(2 * (frame - pos)), kNull);
        pos = std::max(pos, frame);
    };
    auto writeEraseAt = [&](int64_t frame) {
        result.shown.back().erasedAt = frame;
        fillTo(frame);
        append(kErasePair, 2);
        pos = frame + 1;
    };

    for (const Caption* c = list.Head(); c && !cancelled(); c = c->next) {
        const std::vector<uint8_t> b =
            EncodeCodeString(BuildCodeString(*c, kCodeStringCapacity, RowGaps::TabOffsets));
        const int64_t start = c->startFrame;
        if (b.empty() || start > kMaxEncodedFrame || c->endFrame > kMaxEncodedFrame) {
            result.leftOut.push_back(c);
            continue;
        }
        const int64_t pairs = (static_cast<int64_t>(b.size()) + 1) / 2;
        int64_t load = start - pairs + 1;

        if (prevEnd && *prevEnd < pos) erasePending = false;  // it ended before it began
        const bool replaces = !prevEnd || *prevEnd >= start;
        bool eraseInLoading = false;
        bool eraseBefore = false;
        if (!replaces && erasePending) {
            if (*prevEnd >= load) {
                --load;
                eraseInLoading = true;
            } else {
                eraseBefore = true;
            }
        }
        int64_t shownFrom = start;
        if (load < pos) {
            // No room to load it in time after the previous caption (or from frame 0): load it
            // as soon as that allows and start its display late by as few frames as it takes.
            // An erase inside the loading stays there, as it falls before the start; a caption
            // this one replaces stays up until then rather than leaving a blank.
            shownFrom += pos - load;
            load = pos;
            result.late.push_back({c, shownFrom});
        }
        if (eraseBefore) writeEraseAt(*prevEnd);
        fillTo(load);
        if (eraseInLoading) {
            result.shown.back().erasedAt = *prevEnd;
            const size_t head = static_cast<size_t>(2 * (*prevEnd - load));
            append(b.data(), head);
            append(kErasePair, 2);
            append(b.data() + head, b.size() - head);
            pos = load + pairs + 1;
        } else {
            append(b.data(), b.size());
            pos = load + pairs;
        }
        if (b.size() % 2 == 1) out.push_back(kNull);
        result.shown.push_back({c, load, shownFrom});
        // Shown late, it still stays on the screen for at least one frame.
        prevEnd = shownFrom > start ? std::max<int64_t>(c->endFrame, shownFrom + 1) : c->endFrame;
        erasePending = true;
    }
    if (erasePending && prevEnd && *prevEnd >= pos) writeEraseAt(*prevEnd);
    return result;
}

}  // namespace vantrel
