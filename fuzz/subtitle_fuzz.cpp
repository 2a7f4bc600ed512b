// Reading any text as SubRip and as WebVTT, and laying it out as captions: no crash, every
// screen within four rows, and nothing left that the encoder would still leave out.
#include <string_view>

#include "codec/encoder.h"
#include "files/subtitle_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const SubtitleFile& file : {ReadSubRip(text), ReadWebVtt(text)}) {
        CaptionList list;
        MakeSubtitleCaptions(file, list);
        for (const Caption* c = list.Head(); c; c = c->next) {
            if (c->CountOccupiedRows() > kMaxCueRows || c->endFrame < c->startFrame) {
                __builtin_trap();
            }
        }
        if (!EncodeCaptions(list).leftOut.empty()) __builtin_trap();
    }
    return 0;
}
