#include "editor/split_merge.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "codec/encoder.h"

namespace vantrel {

namespace {

// The caption with only rows [first, last) of its screen.
std::unique_ptr<Caption> RowsOf(const Caption& caption, int first, int last) {
    auto part = std::make_unique<Caption>();
    part->TakeContent(caption);
    part->loadFrames = -1;
    for (int r = 0; r < kScreenRows; ++r) {
        if (r < first || r >= last)
            std::fill(std::begin(part->cells[r]), std::end(part->cells[r]), CaptionCell{});
    }
    return part;
}

int64_t TextLength(const Caption& caption) {
    char text[kScreenRows * (kScreenColumns + 1) + 1];
    return static_cast<int64_t>(caption.GetRunningText(text, false, sizeof text - 1));
}

std::vector<int> OccupiedRows(const Caption& caption) {
    std::vector<int> rows;
    for (int r = 0; r < kScreenRows; ++r) {
        for (const CaptionCell& cell : caption.cells[r]) {
            if (!cell.IsEmpty()) {
                rows.push_back(r);
                break;
            }
        }
    }
    return rows;
}

}  // namespace

UnitRefusal SplitCaptionStep(EditHistory& history, Caption& caption, int row, Caption** made) {
    std::unique_ptr<Caption> upper = RowsOf(caption, 0, row);
    std::unique_ptr<Caption> lower = RowsOf(caption, row, kScreenRows);
    const int64_t above = TextLength(*upper);
    const int64_t below = TextLength(*lower);
    if (above == 0 || below == 0) return UnitRefusal::NothingAbove;
    const int64_t start = caption.startFrame;
    const int64_t end = caption.endFrame;
    int64_t middle = start + (end - start) * above / (above + below);
    const int64_t lowest = start + GetLoadFrames(*lower) + 1;
    int64_t highest = end - 1;
    if (Caption* next = caption.next) {
        highest = std::min<int64_t>(highest, next->startFrame - int64_t{GetLoadFrames(*next)} - 1);
    }
    if (lowest > highest) return UnitRefusal::NoTime;
    middle = std::clamp(middle, lowest, highest);

    CaptionChange change(history, kSplitCaptionStep);
    change.Touch(&caption);
    lower->startFrame = static_cast<int32_t>(middle);
    caption.TakeContent(*upper);
    caption.timingMode = Seamless;
    Caption* second = change.Add(std::move(lower));
    const int32_t gap = change.Captions().Gap();
    second->ApplyTiming(gap);
    caption.ApplyTiming(gap);
    change.Commit(caption.startFrame, second->startFrame);
    *made = second;
    return UnitRefusal::None;
}

UnitRefusal MergeCaptionsStep(EditHistory& history, std::span<Caption* const> captions) {
    if (captions.size() < 2) return UnitRefusal::TooFew;
    std::vector<const CaptionCell*> rows;
    int lowestRow = 0;
    for (size_t k = 0; k < captions.size(); ++k) {
        if (k > 0 && captions[k - 1]->next != captions[k]) return UnitRefusal::NotNeighbours;
        for (int r : OccupiedRows(*captions[k])) {
            rows.push_back(captions[k]->cells[r]);
            lowestRow = std::max(lowestRow, r);
        }
    }
    if (int(rows.size()) > kMostMergedRows) return UnitRefusal::TooManyRows;
    Caption merged;
    const int top = std::max(0, lowestRow + 1 - int(rows.size()));
    for (size_t k = 0; k < rows.size(); ++k) {
        std::copy(rows[k], rows[k] + kScreenColumns, merged.cells[top + k]);
    }
    Caption& first = *captions.front();
    const Caption& last = *captions.back();
    merged.startFrame = first.startFrame;
    merged.endFrame = last.endFrame;
    merged.timingMode = last.timingMode;

    CaptionChange change(history, kMergeCaptionsStep);
    change.Touch(&first);
    for (size_t k = 1; k < captions.size(); ++k) change.Remove(captions[k]);
    first.TakeContent(merged);
    first.ApplyTiming(change.Captions().Gap());
    change.Commit(first.startFrame, first.startFrame);
    return UnitRefusal::None;
}

}  // namespace vantrel
