// Decoding 608 byte pairs (channel 1, field 1) into captions.
#pragma once

#include <cstdint>
#include <span>

#include "codec/code_string.h"
#include "model/caption_list.h"
#include "model/caption_project.h"

namespace vantrel {

// Where the characters of a stream go. After RCL (and at the start) they load the memory that
// the next end-of-caption code shows; after a roll-up code (RU2, RU3, RU4) or the paint-on
// code (RDC) a receiver writes them on the screen directly, so they belong to no pop-on
// caption, until the next RCL.
enum class LoadingStyle { PopOn, Direct };

// Decodes a run of 608 bytes (bit 7 set on every byte; the run ends at a zero byte or at the
// end of the span) into the code string of the caption they load: from the last erase of
// non-displayed memory before the first end-of-caption code to that code. Text sent in the
// direct style is left out; `style` is the style at the start and becomes the style at the
// end. Empty when nothing decodes.
CodeString DecodePairs(std::span<const uint8_t> bytes, LoadingStyle& style);

// What a pair stream holds that no pop-on caption of channel 1 takes, by kind: how many and
// the frame of the first (-1 when there is none).
struct SkippedData {
    size_t directCodes = 0;  // roll-up and paint-on codes (a doubled code counted once)
    int64_t firstDirectFrame = -1;
    size_t otherChannelPairs = 0;  // pairs of the second caption channel
    int64_t firstOtherChannelFrame = -1;
    size_t clippedCharacters = 0;    // characters past the 32nd column of a row
    int64_t firstClippedFrame = -1;  // the start of the caption of the first
    size_t flashErases = 0;  // EDMs on the frame after an EOC, read as not ending the caption
    int64_t firstFlashEraseFrame = -1;
};

// Cuts a pair stream (pair k is frame k, every byte with bit 7 set) into captions and inserts
// them into the list. A caption lasts from the frame of its end-of-caption code to the next
// code that replaces or erases it; one still shown when the stream ends is kept. An
// end-of-caption code that shows an empty screen makes no caption and erases the one before.
// Returns what was left out. Once `cancel` is raised it stops and inserts nothing.
SkippedData DecodePairStream(CaptionList& list, std::span<const uint8_t> bytes,
                             const std::atomic<int>* cancel = nullptr);

}  // namespace vantrel
