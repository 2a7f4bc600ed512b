#include "editor/timing_pass.h"

#include <algorithm>
#include <limits>
#include <string>

#include "codec/encoder.h"

namespace vantrel {

namespace {

// A transcript's caption lasts two seconds until the pass times it.
constexpr int64_t kPlacedFrames = 60;

// New frames for a caption, decided before anything changes.
struct Placed {
    Caption* caption;
    int64_t start;
    int64_t end;
    bool ended = false;  // ended by a key: it becomes Manual
};

// The earliest start of `c` after a caption that starts on `prevStart` (-1: none): where it
// leaves `c` room to load, as a timeline drag does.
int64_t LowestStart(Caption& c, int64_t prevStart) {
    const int64_t load = GetLoadFrames(c);
    return prevStart < 0 ? load : std::max(load, prevStart + load + 1);
}

int64_t Length(const Caption& c) {
    return std::max<int64_t>(int64_t{c.endFrame} - c.startFrame, 1);
}

// The captions from `first` on that would start before `need`, or too soon after the caption
// before them to load, move later keeping their lengths, until one needs no move. False when
// one would start past the last frame the encoder places.
bool PlanFollowers(Caption* first, int64_t prevStart, int64_t need, int32_t gap,
                   std::vector<Placed>& plan) {
    for (Caption* c = first; c != nullptr; c = c->next) {
        const int64_t lowest = std::max(need, LowestStart(*c, prevStart));
        if (c->startFrame >= lowest) break;
        if (lowest > kMaxEncodedFrame) return false;
        const int64_t end = std::min(lowest + Length(*c), kMaxCaptionEndFrame);
        plan.push_back({c, lowest, end});
        prevStart = lowest;
        need = end + gap;
    }
    return true;
}

// Makes the planned frames one step (none when nothing changes); the caption before the first
// and every moved caption take their timing modes' ends again (a Manual end stays before the
// next start).
void Apply(EditHistory& history, const char* name, const std::vector<Placed>& plan, Caption& timed,
           int32_t undoFrame) {
    CaptionChange change(history, name);
    change.Touch(timed.prev);
    for (const Placed& p : plan) change.Touch(p.caption);
    for (const Placed& p : plan) {
        p.caption->startFrame = static_cast<int32_t>(p.start);
        p.caption->endFrame = static_cast<int32_t>(p.end);
        if (p.ended) p.caption->timingMode = Manual;
    }
    const int32_t gap = change.Captions().Gap();
    if (timed.prev != nullptr) timed.prev->ApplyTiming(gap);
    for (const Placed& p : plan) p.caption->ApplyTiming(gap);
    change.Commit(undoFrame, timed.startFrame);
}

Caption* FirstStartingAt(const CaptionList& list, int32_t frame) {
    Caption* c = frame > 0 ? list.CaptionAtOrBefore(frame - 1) : nullptr;
    c = c != nullptr ? c : list.Head();
    while (c != nullptr && c->startFrame < frame) c = c->next;
    return c;
}

}  // namespace

void TimingPass::Begin(int32_t frame) {
    // Out of the caption being timed: the pass goes on from the playhead.
    if (frame < openStart_ || frame >= openEnd_) openStart_ = -1;
    frontier_ = frame;
}

Caption* TimingPass::TimingCaption(EditHistory& history) const {
    const CaptionList& list = history.Project().captions;
    if (openStart_ >= 0 && history.CurrentStep() == openStep_) {
        Caption* open = FirstStartingAt(list, openStart_);
        if (open != nullptr && open->startFrame == openStart_) return open;
    }
    return FirstStartingAt(list, frontier_);
}

bool TimingPass::Press(EditHistory& history, TimingKey key, int32_t frame) {
    if (frame < frontier_) Begin(frame);
    Caption* t = TimingCaption(history);
    if (t == nullptr || frame < 0) return false;
    const int32_t from = t->startFrame;
    const int64_t p = frame;
    const int32_t gap = history.Project().captions.Gap();
    std::vector<Placed> plan;
    const char* name = kStartAtPlayheadStep;
    Caption* opened = nullptr;
    if (key == TimingKey::Start) {
        const int64_t start = std::max(p, LowestStart(*t, t->prev ? t->prev->startFrame : -1));
        if (start > kMaxEncodedFrame) return false;
        const int64_t end = std::min(start + Length(*t), kMaxCaptionEndFrame);
        plan.push_back({t, start, end});
        if (!PlanFollowers(t->next, start, end + gap, gap, plan)) return false;
        opened = t;
    } else {
        Caption* next = key == TimingKey::EndAndStart ? t->next : nullptr;
        int64_t end = std::min(p, kMaxCaptionEndFrame);
        int64_t need = end + gap;
        int64_t prevStart = t->startFrame;
        if (next != nullptr) {
            // The caption before keeps the blank frames its Manual end leaves before the next:
            // the profile's gap, which the check does not call a flash.
            const int64_t start = std::max(p, LowestStart(*next, t->startFrame));
            if (start > kMaxEncodedFrame) return false;
            end = std::min(end, start - gap);
            const int64_t nextEnd = std::min(start + Length(*next), kMaxCaptionEndFrame);
            plan.push_back({next, start, nextEnd});
            need = nextEnd + gap;
            prevStart = start;
            opened = next;
        }
        if (end <= t->startFrame) return false;
        plan.insert(plan.begin(), {t, t->startFrame, end, true});
        if (!PlanFollowers(opened ? opened->next : t->next, prevStart, need, gap, plan)) {
            return false;
        }
        name = opened ? kEndAndStartStep : kEndAtPlayheadStep;
    }
    Apply(history, name, plan, *t, from);
    if (opened != nullptr) {
        openStart_ = opened->startFrame;
        openEnd_ = opened->endFrame;
        openStep_ = history.CurrentStep();
        frontier_ = std::min(frontier_, opened->startFrame);
    } else {
        openStart_ = -1;
        frontier_ = static_cast<int32_t>(p);
    }
    return true;
}

int32_t PlaceCaptionsStep(EditHistory& history, std::vector<std::unique_ptr<Caption>> captions,
                          int32_t playhead) {
    if (captions.empty()) return -1;
    CaptionList& list = history.Project().captions;
    int64_t start = std::max(playhead, 0);
    if (const Caption* last = list.CaptionAtOrBefore(std::numeric_limits<int32_t>::max())) {
        start =
            std::max<int64_t>({start, int64_t{last->endFrame} + list.Gap(), last->startFrame + 1});
    }
    const int64_t lastStart = start + kPlacedFrames * static_cast<int64_t>(captions.size() - 1);
    if (lastStart > kMaxEncodedFrame) {
        if (ProjectHost* host = history.Project().host) {
            host->Inform("The transcript's " + std::to_string(captions.size()) +
                         " captions were not placed: at two seconds each from frame " +
                         std::to_string(start) + " they would run past the last frame, " +
                         std::to_string(kMaxEncodedFrame) + ", that captions can start on");
        }
        return -1;
    }
    CaptionChange change(history, kImportTranscriptStep);
    int64_t at = start;
    for (auto& c : captions) {
        c->startFrame = static_cast<int32_t>(at);
        c->endFrame = static_cast<int32_t>(at + kPlacedFrames);
        c->timingMode = Manual;
        change.Add(std::move(c));
        at += kPlacedFrames;
    }
    change.Commit(playhead, static_cast<int32_t>(start));
    return static_cast<int32_t>(start);
}

}  // namespace vantrel
