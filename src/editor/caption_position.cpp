#include "editor/caption_position.h"

#include <algorithm>
#include <vector>

#include "editor/editing_context.h"
#include "editor/grid_queries.h"
#include "editor/run_commands.h"

namespace vantrel {

namespace {

// The run commands' view, for a screen that nobody watches: it only hears a refusal.
class SilentView : public EditorView {
  public:
    void Beep() override { refused = true; }
    void PlaceCaret(int, int, uint8_t) override {}
    void MoveCaret(int, int) override {}
    void ShowCaption() override {}
    bool refused = false;
};

bool MoveRows(Caption& caption, int first, int last, int by) {
    if (first + by < 0 || last + by >= kScreenRows) return false;
    Caption moved = caption;
    moved.ClearScreen();
    for (int r = first; r <= last; ++r)
        std::copy_n(caption.cells[r], kScreenColumns, moved.cells[r + by]);
    std::copy_n(&moved.cells[0][0], kGridRows * kScreenColumns, &caption.cells[0][0]);
    caption.loadFrames = -1;
    return true;
}

// The runs of a row as (start, end) pairs, left to right.
std::vector<std::pair<int, int>> Runs(const Caption& caption, int row) {
    std::vector<std::pair<int, int>> runs;
    for (int c = 0; c < kScreenColumns; ++c) {
        if (caption.cells[row][c].IsEmpty()) continue;
        const int end = RunEnd(caption, row, c);
        runs.emplace_back(c, end);
        c = end;
    }
    return runs;
}

// Moves the text of a row sideways through the run commands, so that each run gains the codes
// it needs where it lands; the runs keep their distances.
bool AlignRow(Caption& caption, int row, Placement placement) {
    const std::vector<std::pair<int, int>> runs = Runs(caption, row);
    if (runs.empty()) return true;
    EditingContext context;
    context.editCopy = std::make_unique<Caption>(caption);
    context.caretRow = row;
    SilentView view;
    if (placement == Placement::Centre && runs.size() == 1) {
        context.caretColumn = runs.front().first;
        CenterRun(context, view);
    } else {
        const int width = runs.back().second - runs.front().first;
        const int target = placement == Placement::Left ? 0 : (kScreenColumns - width) / 2;
        const int by = target - runs.front().first;
        // The run ahead of the move goes first, so that each has room to go.
        for (size_t k = 0; k < runs.size() && !view.refused; ++k) {
            const auto& run = by < 0 ? runs[k] : runs[runs.size() - 1 - k];
            context.caretColumn = run.first;
            if (by != 0) ShiftRun(context, view, by);
        }
    }
    if (view.refused) return false;
    caption.TakeContent(*context.editCopy);
    return true;
}

}  // namespace

bool PlaceCaption(Caption& caption, Placement placement, int rows) {
    int first = kScreenRows, last = -1;
    for (int r = 0; r < kScreenRows; ++r) {
        if (Runs(caption, r).empty()) continue;
        first = std::min(first, r);
        last = r;
    }
    if (last < 0) return true;
    switch (placement) {
        case Placement::Bottom:
            return MoveRows(caption, first, last, kScreenRows - 1 - last);
        case Placement::Top:
            return MoveRows(caption, first, last, -first);
        case Placement::Raise:
            return MoveRows(caption, first, last, -rows);
        case Placement::Centre:
        case Placement::Left:
            break;
    }
    const Caption before = caption;
    for (int r = first; r <= last; ++r) {
        if (!AlignRow(caption, r, placement)) {
            caption.TakeContent(before);
            return false;
        }
    }
    return true;
}

const Caption* PlaceCaptionsStep(EditHistory& history, std::span<Caption* const> captions,
                                 Placement placement, int rows) {
    for (const Caption* c : captions) {
        Caption trial = *c;
        if (!PlaceCaption(trial, placement, rows)) return c;
    }
    if (captions.empty()) return nullptr;
    CaptionChange change(history, kPositionStep);
    for (Caption* c : captions) {
        change.Touch(c);
        PlaceCaption(*c, placement, rows);
    }
    change.Commit(captions.front()->startFrame, captions.front()->startFrame);
    return nullptr;
}

}  // namespace vantrel
