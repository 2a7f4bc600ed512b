// Encoding captions into a frame-timed stream of 608 byte pairs (channel 1, field 1).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model/caption.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

// Frames beyond this (99:59:59:29 at 30 frames per second) are not encoded, so that a damaged
// start or end frame can never ask for gigabytes of null pairs.
constexpr int64_t kMaxEncodedFrame = 100LL * 108000 - 1;
// A caption shown near the last frame may end past it: the decoder ends a last caption 60
// frames on, and Normal timing gives a caption two seconds per row, 15 rows at the most.
constexpr int64_t kMaxCaptionEndFrame = kMaxEncodedFrame + 15 * 60;

// The 608 bytes of one code string, with odd parity; empty when nothing is sent.
std::vector<uint8_t> EncodeCodeString(std::span<const uint8_t> code);

// The number of frames the caption's loading is reckoned to take; cached in loadFrames.
int32_t GetLoadFrames(Caption& caption);

// A caption whose loading could not fit before its start frame: it is loaded as soon as the
// caption before it allows and its display starts late, on `shownFrom`.
struct LateCaption {
    const Caption* caption = nullptr;
    int64_t shownFrom = 0;

    friend bool operator==(const LateCaption&, const LateCaption&) = default;
};

// When a caption's pairs put it on the screen and take it off: its loading begins on `loadFrame`,
// its end-of-caption code shows it on `shownFrom`, and an erase code takes it off on `erasedAt`
// (-1 when the next caption's end-of-caption code replaces it, or nothing does).
struct CaptionShowing {
    const Caption* caption = nullptr;
    int64_t loadFrame = 0;
    int64_t shownFrom = 0;
    int64_t erasedAt = -1;

    friend bool operator==(const CaptionShowing&, const CaptionShowing&) = default;
};

struct EncodedCaptions {
    // 2 x F bytes for F frames, pair k for frame k, odd parity, null pairs 0x80 0x80 where
    // nothing is sent. Empty when there is nothing to send.
    std::vector<uint8_t> bytes;
    // Captions that could not be placed (an invalid screen, frames out of range), in list
    // order. Nothing else is dropped.
    std::vector<const Caption*> leftOut;
    // Captions shown later than their start frame for lack of loading time, in list order.
    std::vector<LateCaption> late;
    // Every caption placed, in list order, as its pairs show it; other services of the same
    // captions (708) follow these frames.
    std::vector<CaptionShowing> shown;
};

// Stops at the caption it has got to once `cancel` is raised; the caller discards the result.
EncodedCaptions EncodeCaptions(const CaptionList& list, const std::atomic<int>* cancel = nullptr);

}  // namespace vantrel
