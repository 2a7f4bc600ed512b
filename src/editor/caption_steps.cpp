#include "editor/caption_steps.h"

#include <algorithm>
#include <limits>

#include "codec/encoder.h"

namespace vantrel {

namespace {

// The least room between a moved caption's start and the next caption's start.
constexpr int64_t kLeastDisplay = 3;
// The longest a caption made by Add Caption in a gap lasts: two seconds.
constexpr int64_t kNewCaptionFrames = 60;

// Keeps the nearest target seen so far; the first offered wins a tie.
class Nearest {
  public:
    Nearest(int64_t frame, FrameBounds bounds, int64_t reach)
        : frame_(frame), bounds_(bounds), reach_(reach), best_(frame) {}
    void Offer(int64_t target) {
        const int64_t distance = target > frame_ ? target - frame_ : frame_ - target;
        if (distance > reach_ || distance >= distance_) return;
        if (target < bounds_.lowest || target > bounds_.highest) return;
        distance_ = distance;
        best_ = target;
    }
    void OfferShots(std::span<const int32_t> shots) {
        auto it = std::lower_bound(shots.begin(), shots.end(), frame_ - reach_);
        for (; it != shots.end() && *it <= frame_ + reach_; ++it) Offer(*it);
    }
    int64_t Best() const { return best_; }

  private:
    int64_t frame_;
    FrameBounds bounds_;
    int64_t reach_;
    int64_t best_;
    int64_t distance_ = std::numeric_limits<int64_t>::max();
};

}  // namespace

FrameBounds StartBounds(Caption& c, int32_t gap) {
    const int64_t load = GetLoadFrames(c);
    int64_t lowest = load;
    if (const Caption* prev = c.prev) {
        lowest = std::max(lowest, prev->startFrame + load + 1);
        if (prev->timingMode == Manual)
            lowest = std::max<int64_t>(lowest, int64_t{prev->endFrame} + gap);
    }
    int64_t highest = kMaxEncodedFrame;
    if (Caption* next = c.next) {
        const int64_t least =
            c.timingMode == Manual ? int64_t{c.endFrame} - c.startFrame + gap : kLeastDisplay;
        highest = std::min<int64_t>({highest, next->startFrame - least,
                                     next->startFrame - int64_t{GetLoadFrames(*next)} - 1});
    }
    // A caption already squeezed past both bounds has no place to go: it stays.
    if (lowest > highest) lowest = highest = c.startFrame;
    return {lowest, highest};
}

FrameBounds EndBounds(const Caption& c, int32_t gap) {
    const int64_t lowest = int64_t{c.startFrame} + 1;
    const int64_t highest = c.next ? int64_t{c.next->startFrame} - gap : kMaxCaptionEndFrame;
    if (lowest > highest) return {c.endFrame, c.endFrame};
    return {lowest, highest};
}

int64_t SnapStart(const Caption& c, int64_t frame, FrameBounds bounds,
                  std::span<const int32_t> shots, int64_t reach, int32_t gap) {
    Nearest nearest(frame, bounds, reach);
    nearest.OfferShots(shots);
    // The previous caption's end when nothing cuts it short: Normal by its rows, Manual as set.
    if (c.prev != nullptr && (c.prev->timingMode == Normal || c.prev->timingMode == Manual))
        nearest.Offer(int64_t{c.prev->TimedEnd(nullptr, gap)} + gap);
    if (c.next != nullptr && c.timingMode == Manual)
        nearest.Offer(int64_t{c.next->startFrame} - gap - (int64_t{c.endFrame} - c.startFrame));
    return nearest.Best();
}

int64_t SnapEnd(const Caption& c, int64_t frame, FrameBounds bounds, std::span<const int32_t> shots,
                int64_t reach, int32_t gap) {
    Nearest nearest(frame, bounds, reach);
    nearest.OfferShots(shots);
    if (c.next != nullptr) nearest.Offer(int64_t{c.next->startFrame} - gap);
    return nearest.Best();
}

void MoveCaptionStart(CaptionList& list, Caption& c, int32_t start) {
    c.MoveStart(start, list.Gap());
    c.ApplyTiming(list.Gap());
    if (c.prev) c.prev->ApplyTiming(list.Gap());
    list.RefreshBucketKeys();
}

void SetCaptionEnd(Caption& c, int32_t end) {
    c.timingMode = Manual;
    c.endFrame = end;
}

bool MoveCaptionStep(EditHistory& history, Caption& c, int64_t start, const char* name) {
    const FrameBounds bounds = StartBounds(c, history.Project().captions.Gap());
    const auto target = static_cast<int32_t>(std::clamp(start, bounds.lowest, bounds.highest));
    const int32_t from = c.startFrame;
    if (target == from) return false;
    CaptionChange change(history, name);
    change.Touch(&c);
    change.Touch(c.prev);
    MoveCaptionStart(change.Captions(), c, target);
    return change.Commit(from, target);
}

bool SetCaptionEndStep(EditHistory& history, Caption& c, int64_t end, const char* name) {
    const FrameBounds bounds = EndBounds(c, history.Project().captions.Gap());
    const auto target = static_cast<int32_t>(std::clamp(end, bounds.lowest, bounds.highest));
    CaptionChange change(history, name);
    change.Touch(&c);
    SetCaptionEnd(c, target);
    return change.Commit(c.startFrame, c.startFrame);
}

bool SetTimingModeStep(EditHistory& history, Caption& c, int8_t mode) {
    Caption* const one[] = {&c};
    return SetTimingModeStep(history, one, mode);
}

bool SetTimingModeStep(EditHistory& history, std::span<Caption* const> captions, int8_t mode) {
    if (captions.empty()) return false;
    CaptionChange change(history, kTimingModeStep);
    for (Caption* c : captions) {
        change.Touch(c);
        c->timingMode = mode;
        // Manual keeps the end frame the operator gave it; the other modes end by the next
        // caption's start, which no caption's mode moves.
        if (mode != Manual) c->ApplyTiming(change.Captions().Gap());
    }
    const int32_t frame = captions.front()->startFrame;
    return change.Commit(frame, frame);
}

bool DeleteCaptionStep(EditHistory& history, Caption& c) {
    return DeleteCaptionsStep(history, {&c});
}

bool DeleteCaptionsStep(EditHistory& history, const std::vector<Caption*>& captions) {
    if (captions.empty()) return false;
    int32_t frame = captions.front()->startFrame;
    for (const Caption* c : captions) frame = std::min(frame, c->startFrame);
    CaptionChange change(history, captions.size() > 1 ? kDeleteCaptionsStep : kDeleteCaptionStep);
    for (Caption* c : captions) change.Remove(c);
    return change.Commit(frame, frame);
}

Caption* AddCaptionAt(EditHistory& history, int32_t f, std::unique_ptr<Caption>* empty) {
    CaptionList& list = history.Project().captions;
    Caption* cur = list.CaptionAtOrBefore(f);
    if (cur == nullptr || cur->endFrame <= f) {
        // A gap, or before every caption.
        Caption* nx = cur != nullptr ? cur->next : list.Head();
        while (nx != nullptr && nx->startFrame <= f) nx = nx->next;
        int64_t end = int64_t{f} + kNewCaptionFrames;
        if (nx != nullptr)
            end = std::min<int64_t>(end, nx->startFrame - int64_t{GetLoadFrames(*nx)});
        if (end <= f) return nullptr;
        *empty = std::make_unique<Caption>();
        (*empty)->startFrame = f;
        (*empty)->endFrame = static_cast<int32_t>(end);
        (*empty)->timingMode = Manual;
        return nullptr;
    }
    // Inside a caption: a copy of it, starting after it where its pairs can still be loaded
    // before the next caption.
    Caption* nx = cur->next;
    const int64_t curLoad = GetLoadFrames(*cur);
    const int64_t nextLoad = nx != nullptr ? GetLoadFrames(*nx) : 0;
    const int64_t room = nx != nullptr ? nx->startFrame - nextLoad - cur->startFrame : 10000;
    if (room < curLoad + 2) return nullptr;
    int64_t s = std::max<int64_t>(f, cur->startFrame + curLoad + 1);
    const int64_t limit = nx != nullptr ? nx->startFrame - nextLoad - 1 : s + 10000;
    s = std::min(s, limit);

    auto added = std::make_unique<Caption>();
    added->TakeContent(*cur);
    added->startFrame = static_cast<int32_t>(s);
    if (added->endFrame <= s) {
        int64_t end = int64_t{cur->endFrame} - cur->startFrame + s;
        if (nx != nullptr) end = std::min<int64_t>(end, nx->startFrame - 1);
        added->endFrame = static_cast<int32_t>(end);
    }
    CaptionChange change(history, kSplitCaptionStep);
    Caption* c = change.Add(std::move(added));
    c->ApplyTiming(list.Gap());
    change.Commit(c->startFrame, c->startFrame);
    return c;
}

}  // namespace vantrel
