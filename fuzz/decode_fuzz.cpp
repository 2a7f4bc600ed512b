// Decoding any byte sequence: pair streams into captions, raw 608 runs, code strings.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/code_string.h"
#include "codec/decoder.h"
#include "codec/encoder.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exactly the input bytes, in a buffer of their own size, so any over-read is caught.
    std::vector<uint8_t> raw(data, data + size);
    LoadingStyle style = LoadingStyle::PopOn;
    const CodeString code = DecodePairs(raw, style);

    Caption screen;
    LoadCodeString(screen, raw);
    for (const CaptionCell& cell : screen.cells[15]) {
        if (!cell.IsEmpty()) __builtin_trap();
    }

    std::vector<uint8_t> stream(raw);
    for (uint8_t& b : stream) b |= 0x80;
    CaptionList list;
    DecodePairStream(list, stream);
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
