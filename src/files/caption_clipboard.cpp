#include "files/caption_clipboard.h"

#include <memory>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/file.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

void CopyInto(std::span<const Caption* const> captions, CaptionList& list) {
    for (const Caption* c : captions) {
        auto copy = std::make_unique<Caption>();
        copy->TakeContent(*c);
        list.Link(std::move(copy));
    }
}

}  // namespace

std::string CaptionsClipboardBytes(std::span<const Caption* const> captions) {
    CaptionProject copied;
    CopyInto(captions, copied.captions);
    return ProjectFileBytes(copied, 0);
}

std::string CaptionsSccText(std::span<const Caption* const> captions, TimecodeStyle style) {
    CaptionList copied;
    CopyInto(captions, copied);
    return FormatSccText(EncodeCaptions(copied).bytes, style);
}

void ReadClipboardCaptions(std::string_view own, std::string_view text, CaptionList& out) {
    out.Clear();
    if (own.size() > kMostClipboardBytes || text.size() > kMostClipboardBytes) return;
    if (!own.empty()) {
        CaptionProject read;
        MemoryInput in(Bytes(own));
        if (LoadProject(read, in, {}) == LoadResult::Loaded) {
            out.MoveFrom(read.captions);
            return;
        }
    }
    const CaptionFileData scc = ReadSccText(Bytes(text));
    if (scc.recognized) DecodePairStream(out, scc.pairs);
}

}  // namespace vantrel
