// Decoding any byte sequence: pair streams into captions on every channel and in every roll-up
// style (the first byte picks them), and code strings onto a screen.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/code_string.h"
#include "codec/decoder.h"
#include "codec/encoder.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly the input bytes, in a buffer of their own size, so any over-read is caught.
    std::vector<uint8_t> raw(data, data + size);
    Caption screen;
    LoadCodeString(screen, raw);
    for (const CaptionCell& cell : screen.cells[15]) {
        if (!cell.IsEmpty()) __builtin_trap();
    }

    const uint8_t pick = size > 0 ? data[0] : 0;
    const DecodeOptions options{1 + pick % kChannelCount,
                                static_cast<RollUpStyle>(pick / kChannelCount % 3)};
    CaptionList list;
    DecodePairStream(list, std::span<const uint8_t>(raw).subspan(size > 0 ? 1 : 0), nullptr,
                     options);
    int32_t last = -1;
    for (const Caption* c = list.Head(); c; c = c->next) {
        if (c->startFrame < last || c->endFrame <= c->startFrame) __builtin_trap();
        for (const CaptionCell& cell : c->cells[15]) {
            if (!cell.IsEmpty()) __builtin_trap();
        }
        last = c->startFrame;
    }
    // Whatever was decoded encodes again without trouble.
    (void)EncodeCaptions(list);
    return 0;
}
