// Undo and redo: random sessions of every kind of step, undone to the saved project exactly and
// redone to where they were; the modified flag, the bound, and committing an edit session.
#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "editor/caption_steps.h"
#include "editor/edit_commands.h"
#include "editor/edit_session.h"
#include "support/caption_list_check.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

// Everything of every caption but the links and the loading cache.
std::vector<Caption> Contents(const CaptionList& list) {
    std::vector<Caption> out;
    for (const Caption* c = list.Head(); c; c = c->next) {
        out.emplace_back().TakeContent(*c);
        out.back().loadFrames = -1;
    }
    return out;
}

void ExpectSame(const CaptionList& list, const std::vector<Caption>& expected) {
    const std::vector<Caption> now = Contents(list);
    ASSERT_EQ(now.size(), expected.size());
    for (size_t i = 0; i < now.size(); ++i) ASSERT_TRUE(now[i].SameContent(expected[i])) << i;
    std::vector<Caption*> order;
    for (Caption* c = list.Head(); c; c = c->next) order.push_back(c);
    testing::CheckList(list, order);
}

Caption* Nth(const CaptionList& list, size_t n) {
    Caption* c = list.Head();
    for (size_t i = 0; c && i < n; ++i) c = c->next;
    return c;
}

bool Same(const std::vector<Caption>& a, const std::vector<Caption>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const Caption& x, const Caption& y) { return x.SameContent(y); });
}

// One random step of any kind.
void RandomStep(std::mt19937& rng, EditHistory& history) {
    CaptionList& list = history.Project().captions;
    const int count = list.Count();
    Caption* c = count > 0 ? Nth(list, rng() % count) : nullptr;
    const int32_t somewhere = static_cast<int32_t>(rng() % 20000);
    EditingContext context;
    switch (rng() % 7) {
        case 0:  // type into the caption on the air, or a new one in a gap
            BeginEditSession(list, c != nullptr && rng() % 2 ? c->startFrame : somewhere, context);
            context.caretRow = static_cast<int>(rng() % kScreenRows);
            context.caretColumn = static_cast<int>(rng() % 20);
            for (int i = 0; i < 3; ++i) {
                struct : EditorView {
                    void Beep() override {}
                    void PlaceCaret(int, int, uint8_t) override {}
                    void MoveCaret(int, int) override {}
                    void ShowCaption() override {}
                } view;
                TypeCharacter(context, view, static_cast<uint8_t>('a' + rng() % 26));
            }
            CommitEditSession(history, context);
            return;
        case 1: {
            std::unique_ptr<Caption> empty;
            AddCaptionAt(history, somewhere, &empty);
            return;
        }
        case 2:
            if (c != nullptr) DeleteCaptionStep(history, *c);
            return;
        case 3:
            if (c != nullptr)
                MoveCaptionStep(history, *c, c->startFrame + int(rng() % 200) - 100, "m");
            return;
        case 4:
            if (c != nullptr)
                SetCaptionEndStep(history, *c, c->endFrame + int(rng() % 100) - 50, "e");
            return;
        case 5:
            if (c != nullptr) SetTimingModeStep(history, *c, static_cast<int8_t>(1 + rng() % 4));
            return;
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
        std::mt19937 rng(seed);
        CaptionProject project;
        testing::RandomProject(rng, project.captions, 40);
        EditHistory history(project);
        history.Clear(true);
        const std::vector<Caption> saved = Contents(project.captions);
        int steps = 0;
        for (int i = 0; i < 60; ++i) {
            // A step is made exactly when the captions changed.
            const size_t before = history.StepCount();
            const std::vector<Caption> was = Contents(project.captions);
            RandomStep(rng, history);
            const bool changed = !Same(was, Contents(project.captions));
            ASSERT_EQ(history.StepCount(), before + (changed ? 1 : 0)) << "seed " << seed;
            steps += changed;
        }
        ASSERT_EQ(project.modified, steps > 0);
        const std::vector<Caption> edited = Contents(project.captions);
        while (history.CanUndo()) history.Undo();
        ASSERT_NO_FATAL_FAILURE(ExpectSame(project.captions, saved)) << "seed " << seed;
        EXPECT_FALSE(project.modified);
        while (history.CanRedo()) history.Redo();
        ASSERT_NO_FATAL_FAILURE(ExpectSame(project.captions, edited)) << "seed " << seed;
        EXPECT_EQ(project.modified, steps > 0);
    }
}

TEST(EditHistory, TheModifiedFlagIsNotAtTheSavedStepAndTheBoundDropsTheOldest) {
    CaptionProject project;
    int told = 0;
    project.onModified = [&](bool) { ++told; };
    EditHistory history(project, 3 * sizeof(Caption) + 400);
    history.Clear(true);
    std::vector<int> changes;
    project.captions.SetObserver([&](CaptionRange r) { changes.push_back(r.firstFrame); });
    for (int32_t start : {100, 200, 300}) {
        std::unique_ptr<Caption> empty;
        AddCaptionAt(history, start, &empty);
        ASSERT_NE(empty, nullptr);
        empty->cells[0][0] = {'A', kDefaultAttribute};
        EditingContext context;
        BeginNewCaptionSession(std::move(empty), kAddCaptionStep, context);
        ASSERT_NE(CommitEditSession(history, context), nullptr);
    }
    EXPECT_EQ(changes, (std::vector<int>{100, 200, 300}));
    // Only the newest steps fit; the saved state is beyond them.
    EXPECT_LT(history.StepCount(), 3u);
    EXPECT_EQ(history.UndoName(), kAddCaptionStep);
    history.MarkSaved();
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(history.Undo(), 300);
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(history.RedoName(), kAddCaptionStep);
    EXPECT_EQ(history.Redo(), 300);
    EXPECT_FALSE(project.modified);
    while (history.CanUndo()) history.Undo();
    EXPECT_EQ(project.captions.Count(), 3 - static_cast<int>(history.StepCount()));
    EXPECT_TRUE(project.modified);
    EXPECT_GT(told, 6);
}

TEST(EditSession, CommitReplacesTheSourceOrAddsANewCaptionUnlessItIsEmpty) {
    CaptionProject project;
    EditHistory history(project);
    auto first = std::make_unique<Caption>();
    first->startFrame = 60;
    first->cells[0][0] = {'A', kDefaultAttribute};
    Caption* a = project.captions.Insert(std::move(first));
    a->ApplyTiming();
    struct Case {
        int32_t frame;
        bool type;
        int expectCount;
        int32_t expectEnd;  // of the caption at the frame
    };
    const Case cases[] = {
        {70, true, 1, 180},    // two rows on the caption on the air
        {400, false, 1, -1},   // nothing typed in a gap: nothing added
        {400, true, 2, 460},   // a new caption
        {100, false, 2, 180},  // opened and left as it was: no step
    };
    for (const Case& k : cases) {
        EditingContext context;
        BeginEditSession(project.captions, k.frame, context);
        if (k.type) context.editCopy->cells[1][0] = {'B', kDefaultAttribute};
        PreviewEditTiming(project.captions, context);
        const int32_t previewEnd = context.editCopy->endFrame;
        const size_t steps = history.StepCount();
        Caption* taken = CommitEditSession(history, context);
        EXPECT_EQ(project.captions.Count(), k.expectCount) << k.frame;
        EXPECT_EQ(history.StepCount(), steps + (k.type ? 1 : 0)) << k.frame;
        if (k.expectEnd < 0) continue;
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(taken->endFrame, k.expectEnd) << k.frame;
        EXPECT_EQ(previewEnd, k.expectEnd) << k.frame;
    }
    EXPECT_EQ(history.UndoName(), kTypingStep);
}

}  // namespace
}  // namespace vantrel
