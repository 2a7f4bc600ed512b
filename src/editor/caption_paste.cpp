#include "editor/caption_paste.h"

#include <algorithm>
#include <memory>

namespace vantrel {

PasteResult PasteCaptionsStep(EditHistory& history, CaptionList& pasted, int32_t frame,
                              int64_t endFrame) {
    PasteResult result;
    if (pasted.Empty()) return result;
    const int64_t by = int64_t{frame} - pasted.Head()->startFrame;
    int64_t lastStart = frame, lastEnd = frame;
    for (const Caption* c = pasted.Head(); c != nullptr; c = c->next) {
        lastStart = c->startFrame + by;
        lastEnd = std::max(lastEnd, c->endFrame + by);
    }
    if (lastStart >= endFrame) {
        result.pastEnd = true;
        return result;
    }
    CaptionList& list = history.Project().captions;
    const Caption* before = list.CaptionAtOrBefore(frame);
    const Caption* after = before != nullptr ? before : list.Head();
    if (before != nullptr && before->startFrame < frame) after = before->next;
    if (after != nullptr && after->startFrame <= lastEnd) {
        result.inTheWay = after;
        return result;
    }
    CaptionChange change(history, kPasteCaptionsStep);
    while (!pasted.Empty()) {
        std::unique_ptr<Caption> c = pasted.Unlink(pasted.Head());
        c->startFrame = static_cast<int32_t>(c->startFrame + by);
        c->endFrame = static_cast<int32_t>(c->endFrame + by);
        result.placed.push_back(change.Add(std::move(c)));
    }
    for (Caption* c : result.placed) c->ApplyTiming(list.Gap());
    change.Commit(frame, frame);
    return result;
}

}  // namespace vantrel
