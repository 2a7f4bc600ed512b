// Caption commands of the main view: navigation, adding a caption after the current one, and
// the timing mode chosen in the properties panel.
#include <algorithm>
#include <memory>

#include "app/main_view.h"
#include "codec/encoder.h"

namespace vantrel {

void MainView::NextCaption() {
    if (playState_ != PlayState::Stopped && playState_ != PlayState::Paused) return;
    const int32_t f = currentFrame_;
    Caption* c = project_.captions.CaptionAtOrBefore(f);
    if (c == nullptr) {
        c = project_.captions.Head();
    } else if (c->next != nullptr) {
        c = c->next;
    }
    if (c != nullptr && c->startFrame > f) SeekToFrame(c->startFrame);
}

// From inside caption k this goes to the start of caption k-1, not of k.
void MainView::PreviousCaption() {
    if (playState_ != PlayState::Stopped && playState_ != PlayState::Paused) return;
    const int32_t f = currentFrame_;
    Caption* c = project_.captions.FirstUnfinishedAt(f);
    if (c != nullptr) {
        if (c->prev != nullptr) c = c->prev;
    } else {
        c = project_.captions.CaptionAtOrBefore(f);
        if (c == nullptr) return;
    }
    if (c->endFrame <= f) SeekToFrame(c->startFrame);
}

// A copy of the caption at or before the current frame, starting after it where its pairs can
// still be loaded before the next caption.
void MainView::AddCaption() {
    const int32_t f = currentFrame_;
    Caption* cur = project_.captions.CaptionAtOrBefore(f);
    if (cur == nullptr) {
        Beep();
        return;
    }
    Caption* nx = cur->next;
    const int64_t curLoad = GetLoadFrames(*cur);
    const int64_t nextLoad = nx != nullptr ? GetLoadFrames(*nx) : 0;
    const int64_t room = nx != nullptr ? nx->startFrame - nextLoad - cur->startFrame : 10000;
    if (room < curLoad + 2) {
        Beep();
        return;
    }
    int64_t s = std::max<int64_t>(f, cur->startFrame + curLoad + 1);
    const int64_t limit = nx != nullptr ? nx->startFrame - nextLoad - 1 : s + 10000;
    s = std::min(s, limit);

    auto added = std::make_unique<Caption>(*cur);
    added->startFrame = static_cast<int32_t>(s);
    if (added->endFrame <= s) {
        int64_t end = int64_t{cur->endFrame} - cur->startFrame + s;
        if (nx != nullptr) end = std::min<int64_t>(end, nx->startFrame - 1);
        added->endFrame = static_cast<int32_t>(end);
    }
    project_.captions.Insert(std::move(added))->ApplyTiming();
    captionWindow_.ForgetShownCaption();
    captionWindow_.ResetAndShowFrame(f);
    ForgetTimelineCaption();
    project_.modified = true;
}

void MainView::SetTimingMode(int mode) {
    const int32_t f = currentFrame_;
    Caption* c = project_.captions.CaptionAt(f);
    if (c == nullptr) return;
    c->timingMode = static_cast<int8_t>(mode);
    // Manual keeps the end frame the operator gave it.
    if (mode != Manual) c->ApplyTiming();
    captionWindow_.ForgetShownCaption();
    captionWindow_.ResetAndShowFrame(f);
    ForgetTimelineCaption();
    project_.modified = true;
}

}  // namespace vantrel
