// Undo and redo: random sessions of every kind of step (the text, time, split, merge, position
// and paste commands too), edit sessions committed among them,
// undone to the saved project exactly and redone to where they were; the modified flag and the
// bound.
#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "editor/caption_paste.h"
#include "editor/caption_position.h"
#include "editor/caption_steps.h"
#include "editor/edit_commands.h"
#include "editor/edit_session.h"
#include "editor/find_replace.h"
#include "editor/split_merge.h"
#include "editor/time_shift.h"
#include "files/caption_clipboard.h"
#include "support/caption_list_check.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

// Everything of every caption but the links and the loading cache.
std::vector<Caption> Contents(const CaptionList& list) {
    std::vector<Caption> out;
    for (const Caption* c = list.Head(); c; c = c->next) out.emplace_back().TakeContent(*c);
    return out;
}

bool Same(const CaptionList& list, const std::vector<Caption>& b) {
    const std::vector<Caption> a = Contents(list);
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Caption& x, const Caption& y) { return x.SameContent(y); });
}

struct QuietView : EditorView {
    void Beep() override {}
    void PlaceCaret(int, int, uint8_t) override {}
    void MoveCaret(int, int) override {}
    void ShowCaption() override {}
};

// One random step of any kind.
void RandomStep(std::mt19937& rng, EditHistory& history) {
    CaptionList& list = history.Project().captions;
    Caption* c = list.Head();
    for (int n = list.Empty() ? 0 : static_cast<int>(rng() % list.Count()); n > 0; --n) c = c->next;
    const auto somewhere = static_cast<int32_t>(rng() % 20000);
    const auto by = [&](int range) { return static_cast<int>(rng() % range) - range / 2; };
    if (c == nullptr || rng() % 3 == 0) {  // types into the caption on the air, or a new one
        EditingContext context;
        QuietView view;
        BeginEditSession(list, c != nullptr && rng() % 2 ? c->startFrame : somewhere, context);
        context.caretRow = static_cast<int>(rng() % kScreenRows);
        context.caretColumn = static_cast<int>(rng() % 20);
        for (int i = 0; i < 3; ++i) TypeCharacter(context, view, 'a' + rng() % 26);
        PreviewEditTiming(list, context);
        const int32_t preview = context.editCopy->endFrame;
        // The panel shows while typing the end that the commit gives.
        const Caption* taken = CommitEditSession(history, context);
        if (taken != nullptr && taken->endFrame > taken->startFrame) {
            EXPECT_EQ(preview, taken->endFrame);
        }
        return;
    }
    std::unique_ptr<Caption> empty;
    Caption* made = nullptr;
    Caption* const both[] = {c, c->next != nullptr ? c->next : c};
    const std::span<Caption* const> pair(both, c->next != nullptr ? 2 : 1);
    switch (rng() % 13) {
        case 0:
            AddCaptionAt(history, somewhere, &empty);
            break;
        case 1:
            DeleteCaptionStep(history, *c);
            break;
        case 2:
            MoveCaptionStep(history, *c, c->startFrame + by(200), kMoveCaptionStep);
            break;
        case 3:
            SetCaptionEndStep(history, *c, c->endFrame + by(100), kDragEndStep);
            break;
        case 4:
            SetTimingModeStep(history, *c, static_cast<int8_t>(1 + rng() % 4));
            break;
        case 5:
            ReplaceAllStep(history, "a", rng() % 2 ? "xyz" : "", {});
            break;
        case 6:
            SplitCaptionStep(history, *c, static_cast<int>(rng() % kScreenRows), &made);
            break;
        case 7:
            MergeCaptionsStep(history, pair);
            break;
        case 8:
            ShiftTimesStep(history, pair, by(100), 20000);
            break;
        case 9:
            SyncStep(history, *both[0], both[0]->startFrame + by(50), *both[1],
                     both[1]->startFrame + by(50), 20000);
            break;
        case 10:
            PlaceCaptionsStep(history, pair, static_cast<Placement>(rng() % 5), 2);
            break;
        case 11: {
            CaptionList copied;
            const Caption* const one[] = {c};
            ReadClipboardCaptions(CaptionsClipboardBytes(one), {}, copied);
            PasteCaptionsStep(history, copied, somewhere, 20000);
            break;
        }
        default: {
            CaptionList read;
            testing::RandomProject(rng, read, 30);
            history.ReplaceAll(kImportStep);
            history.Project().ReplaceCaptions(read);
        }
    }
}

TEST(EditHistory, UndoingEverythingGivesTheSavedProjectAndRedoingGivesItBack) {
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        CaptionProject project;
        testing::RandomProject(rng, project.captions, 40);
        EditHistory history(project);
        history.Clear(true);
        const std::vector<Caption> saved = Contents(project.captions);
        for (int i = 0; i < 60; ++i) {
            // A step is made exactly when the captions changed.
            const size_t before = history.StepCount();
            const std::vector<Caption> was = Contents(project.captions);
            RandomStep(rng, history);
            ASSERT_EQ(history.StepCount(), before + (Same(project.captions, was) ? 0 : 1));
        }
        ASSERT_EQ(project.modified, history.StepCount() > 0);
        const std::vector<Caption> edited = Contents(project.captions);
        std::vector<Caption*> order;
        for (const bool undo : {true, false}) {
            while (undo ? history.CanUndo() : history.CanRedo())
                undo ? history.Undo() : history.Redo();
            ASSERT_TRUE(Same(project.captions, undo ? saved : edited));
            EXPECT_EQ(project.modified, !undo && history.StepCount() > 0);
            order.clear();
            for (Caption* c = project.captions.Head(); c; c = c->next) order.push_back(c);
            ASSERT_NO_FATAL_FAILURE(testing::CheckList(project.captions, order));
        }
    }
}

// Adds a caption "A" at `start` as one step, as typing into a new caption does.
void AddA(EditHistory& history, int32_t start) {
    std::unique_ptr<Caption> empty;
    AddCaptionAt(history, start, &empty);
    ASSERT_NE(empty, nullptr);
    empty->cells[0][0] = {'A', kDefaultAttribute};
    EditingContext context;
    BeginNewCaptionSession(std::move(empty), kAddCaptionStep, context);
    ASSERT_NE(CommitEditSession(history, context), nullptr);
}

TEST(EditHistory, TheModifiedFlagIsNotAtTheSavedStepAndTheBoundDropsTheOldest) {
    size_t oneStep = 0;  // as the history counts it
    {
        CaptionProject probe;
        EditHistory history(probe);
        AddA(history, 100);
        oneStep = history.Bytes();
    }
    const size_t roomForTwo = 2 * oneStep + oneStep / 2;
    CaptionProject project;
    int told = 0;
    project.onModified = [&](bool) { ++told; };
    EditHistory history(project, roomForTwo);
    history.Clear(true);
    std::vector<int> changes;
    project.captions.SetObserver([&](CaptionRange r) { changes.push_back(r.firstFrame); });
    for (int32_t start : {100, 200, 300}) AddA(history, start);
    EXPECT_EQ(changes, (std::vector<int>{100, 200, 300}));
    EXPECT_EQ(history.StepCount(), 2u);
    EXPECT_EQ(history.UndoName(), kAddCaptionStep);
    history.MarkSaved();
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(history.Undo(), 300);
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(history.Redo(), 300);
    EXPECT_FALSE(project.modified);
    while (history.CanUndo()) history.Undo();
    EXPECT_EQ(project.captions.Count(), 1);
    EXPECT_TRUE(project.modified);  // as far back as the steps go
    EXPECT_EQ(told, 9);             // every change, save and clearing told

    // Saved when empty: with the oldest step dropped, undoing all cannot come back to it.
    CaptionProject fresh;
    EditHistory bounded(fresh, roomForTwo);
    bounded.Clear(true);
    for (int32_t start : {100, 200, 300}) AddA(bounded, start);
    while (bounded.CanUndo()) bounded.Undo();
    EXPECT_EQ(fresh.captions.Count(), 1);
    EXPECT_TRUE(fresh.modified);
}

}  // namespace
}  // namespace vantrel
