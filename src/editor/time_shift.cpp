#include "editor/time_shift.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "codec/encoder.h"
#include "editor/caption_steps.h"

namespace vantrel {

namespace {

// a / b rounded to the nearest whole number, halves up; b > 0.
int64_t RoundedDivision(int64_t a, int64_t b) {
    const int64_t twice = 2 * a + b;
    const int64_t q = twice / (2 * b);
    return twice % (2 * b) < 0 ? q - 1 : q;
}

// A caption may not come to start at or after the video's end, nor end past it when it ended
// inside it before.
bool PastVideo(const Caption& c, int64_t start, int64_t end, int64_t endFrame) {
    return start >= endFrame || (end > endFrame && c.endFrame <= endFrame);
}

void Retime(CaptionList& list, const std::vector<Caption*>& moved) {
    for (Caption* c : moved) c->ApplyTiming(list.Gap());
}

}  // namespace

TimeRefusal ShiftTimesStep(EditHistory& history, std::span<Caption* const> captions, int64_t frames,
                           int64_t endFrame) {
    if (captions.empty() || frames == 0) return {};
    const int32_t gap = history.Project().captions.Gap();
    // Captions next to each other move as one block: only its ends meet captions that stay.
    std::vector<std::pair<Caption*, Caption*>> blocks;
    for (size_t k = 0; k < captions.size(); ++k) {
        if (k == 0 || captions[k - 1]->next != captions[k]) {
            blocks.emplace_back(captions[k], captions[k]);
        } else {
            blocks.back().second = captions[k];
        }
    }
    for (const auto& [first, last] : blocks) {
        if (frames < 0) {
            const int64_t lowest = StartBounds(*first, gap).lowest;
            if (first->startFrame + frames < lowest) {
                const bool neighbour = first->prev && lowest > GetLoadFrames(*first);
                return {neighbour ? TimeRefusal::OverNeighbour : TimeRefusal::BeforeStart, first,
                        neighbour ? first->prev : nullptr, lowest};
            }
        } else {
            if (last->next != nullptr &&
                last->startFrame + frames > StartBounds(*last, gap).highest)
                return {TimeRefusal::OverNeighbour, last, last->next,
                        StartBounds(*last, gap).highest};
            if (PastVideo(*last, last->startFrame + frames, int64_t{last->endFrame} + frames,
                          endFrame))
                return {TimeRefusal::PastEnd, last, nullptr, endFrame};
        }
    }
    const int32_t from = captions.front()->startFrame;
    CaptionChange change(history, kShiftTimesStep);
    std::vector<Caption*> retimed;
    for (const auto& [first, last] : blocks) {
        if (first->prev) {
            change.Touch(first->prev);
            retimed.push_back(first->prev);
        }
        for (Caption* c = first;; c = c->next) {
            change.Touch(c);
            c->startFrame = static_cast<int32_t>(c->startFrame + frames);
            c->endFrame = static_cast<int32_t>(c->endFrame + frames);
            retimed.push_back(c);
            if (c == last) break;
        }
    }
    Retime(change.Captions(), retimed);
    change.Commit(from, captions.front()->startFrame);
    return {};
}

TimeRefusal SyncStep(EditHistory& history, const Caption& first, int64_t firstFrame,
                     const Caption& second, int64_t secondFrame, int64_t endFrame) {
    const int64_t from = first.startFrame;
    const int64_t span = int64_t{second.startFrame} - from;
    const int64_t to = secondFrame - firstFrame;
    if (span <= 0 || to <= 0) return {TimeRefusal::SamePoints, &first, &second, 0};
    const auto place = [&](int64_t frame) {
        return firstFrame + RoundedDivision((frame - from) * to, span);
    };
    CaptionList& list = history.Project().captions;
    std::vector<std::pair<int64_t, int64_t>> frames;
    int64_t previous = -1;
    for (const Caption* c = list.Head(); c != nullptr; c = c->next) {
        const int64_t placed = place(c->startFrame);
        if (placed < 0) return {TimeRefusal::BeforeStart, c, nullptr, 0};
        const int64_t start = std::max(placed, previous + 1);
        const int64_t end = std::max(place(c->endFrame), start + 1);
        if (PastVideo(*c, start, end, endFrame))
            return {TimeRefusal::PastEnd, c, nullptr, endFrame};
        frames.emplace_back(start, end);
        previous = start;
    }
    CaptionChange change(history, kSyncStep);
    std::vector<Caption*> moved;
    size_t k = 0;
    for (Caption* c = list.Head(); c != nullptr; c = c->next, ++k) {
        change.Touch(c);
        c->startFrame = static_cast<int32_t>(frames[k].first);
        c->endFrame = static_cast<int32_t>(frames[k].second);
        moved.push_back(c);
    }
    Retime(list, moved);
    change.Commit(static_cast<int32_t>(from), static_cast<int32_t>(firstFrame));
    return {};
}

}  // namespace vantrel
