// Long random editing sessions: after every command or typed character the screen must still
// be one that the editor may make and that the code string renders back unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/typing_attribute.h"
#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::FirstDifference;
using editor_test::RoundTrip;
using editor_test::Snapshot;

enum class Step {
    Type,
    Click,
    CaretLeft,
    CaretRight,
    CaretUp,
    CaretDown,
    RunHome,
    RunEndKey,
    ScreenHome,
    ScreenEnd,
    WordLeft,
    WordRight,
    ToggleItalics,
    ToggleUnderline,
    DeleteForward,
    Backspace,
    NewLine,
    ShiftRun,
    CenterRun,
    RunUp,
    RunDown,
};

struct Weighted {
    Step step;
    int weight;
};

// While the screen fills, mostly typing; once it is crowded, mostly deleting, until it has
// emptied again. So the sessions see both crowded rows, where edits get refused, and sparse ones.
constexpr Weighted kFilling[] = {
    {Step::Type, 40},         {Step::Click, 6},           {Step::CaretLeft, 3},
    {Step::CaretRight, 3},    {Step::CaretUp, 2},         {Step::CaretDown, 2},
    {Step::RunHome, 2},       {Step::RunEndKey, 2},       {Step::ScreenHome, 1},
    {Step::ScreenEnd, 1},     {Step::WordLeft, 2},        {Step::WordRight, 2},
    {Step::ToggleItalics, 4}, {Step::ToggleUnderline, 3}, {Step::DeleteForward, 3},
    {Step::Backspace, 3},     {Step::NewLine, 4},         {Step::ShiftRun, 5},
    {Step::CenterRun, 2},     {Step::RunUp, 3},           {Step::RunDown, 3},
};
constexpr Weighted kEmptying[] = {
    {Step::Type, 8},          {Step::Click, 4},           {Step::CaretLeft, 2},
    {Step::CaretRight, 2},    {Step::CaretUp, 2},         {Step::CaretDown, 2},
    {Step::RunHome, 2},       {Step::RunEndKey, 8},       {Step::ScreenHome, 1},
    {Step::ScreenEnd, 3},     {Step::WordLeft, 2},        {Step::WordRight, 2},
    {Step::ToggleItalics, 2}, {Step::ToggleUnderline, 2}, {Step::DeleteForward, 8},
    {Step::Backspace, 40},    {Step::NewLine, 3},         {Step::ShiftRun, 4},
    {Step::CenterRun, 2},     {Step::RunUp, 3},           {Step::RunDown, 3},
};
constexpr int kCrowded = 240;
constexpr int kSparse = 60;

bool MovesTheCaretOnly(Step step) {
    return step >= Step::Click && step <= Step::ToggleUnderline;
}

int CountRuns(const Caption& caption) {
    int runs = 0;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            if (!caption.cells[r][c].IsEmpty() && (c == 0 || caption.cells[r][c - 1].IsEmpty())) {
                ++runs;
            }
        }
    }
    return runs;
}

int CountCharacters(const Caption& caption) {
    int count = 0;
    for (int r = 0; r < kScreenRows; ++r) {
        for (const CaptionCell& cell : caption.cells[r]) count += cell.character >= 0x20;
    }
    return count;
}

// Cells the editor may write: empty, its own codes, caption characters; every run holds a
// character and ends with one (a code with nothing after it would be lost by the code string).
std::string CheckCells(const Caption& caption) {
    for (const CaptionCell& cell : caption.cells[kGridRows - 1]) {
        if (!cell.IsEmpty()) return "row 15 touched";
    }
    for (int r = 0; r < kScreenRows; ++r) {
        const CaptionCell* row = caption.cells[r];
        bool runHasCharacter = false;
        for (int c = 0; c < kScreenColumns; ++c) {
            const CaptionCell& cell = row[c];
            if (cell.IsEmpty()) continue;
            const uint8_t ch = cell.character;
            const bool runEnds = c == kScreenColumns - 1 || row[c + 1].IsEmpty();
            if (c == 0 || row[c - 1].IsEmpty()) runHasCharacter = false;
            if (ch >= 0x20) runHasCharacter = true;
            const char* fault = nullptr;
            if (ch == 0) {
                fault = "attribute without character";
            } else if (ch < 0x20 && ch != 0x0C && ch < 0x18) {
                fault = "a code the editor does not make";
            } else if (ch == 0x80) {
                fault = "0x80";
            } else if (runEnds && ch < 0x20) {
                fault = "run ends with a code";
            } else if (runEnds && !runHasCharacter) {
                fault = "run without a character";
            }
            if (fault)
                return std::string(fault) + " at " + std::to_string(r) + "," + std::to_string(c);
        }
    }
    return "";
}

class Session {
  public:
    explicit Session(uint32_t seed) : random_(seed), context_(Editing(0, 0)) {
        for (int b = 0x20; b <= 0xFD; ++b) {
            const bool typable = b <= 0x7F || (b >= 0x90 && b <= 0x9B) ||
                                 (b >= 0xA0 && b <= 0xCF) || (b >= 0xD1 && b <= 0xEF) || b >= 0xF1;
            if (typable) characters_.push_back(uint8_t(b));
        }
    }

    void Run(int steps) {
        for (int i = 0; i < steps; ++i) {
            const Step step = Pick();
            Check(step, i);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    int refusals = 0;
    int cycles = 0;  // times the screen grew crowded
    int changes = 0;

  private:
    Step Pick() {
        const int characters = CountCharacters(*context_.editCopy);
        if (characters > kCrowded && !emptying_) {
            emptying_ = true;
            ++cycles;
        }
        if (characters < kSparse) emptying_ = false;
        const auto& steps = emptying_ ? kEmptying : kFilling;
        int total = 0;
        for (const Weighted& w : steps) total += w.weight;
        int n = Uniform(0, total - 1);
        for (const Weighted& w : steps) {
            if (n < w.weight) return w.step;
            n -= w.weight;
        }
        return Step::Type;
    }

    int Uniform(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    uint8_t RandomCharacter() {
        // Mostly letters and spaces, so that words and runs form; now and then any character.
        if (Uniform(0, 9) == 0) return characters_[Uniform(0, int(characters_.size()) - 1)];
        return Uniform(0, 5) == 0 ? ' ' : uint8_t('a' + Uniform(0, 25));
    }

    void Do(Step step, CountingView& view) {
        EditingContext& c = context_;
        switch (step) {
            case Step::Type:
                TypeCharacter(c, view, RandomCharacter());
                break;
            case Step::Click:
                c.caretRow = Uniform(0, kScreenRows - 1);
                c.caretColumn = Uniform(0, kScreenColumns);
                PickUpAttribute(c);
                break;
            case Step::CaretLeft:
                CaretLeft(c, view);
                break;
            case Step::CaretRight:
                CaretRight(c, view);
                break;
            case Step::CaretUp:
                CaretUp(c, view);
                break;
            case Step::CaretDown:
                CaretDown(c, view);
                break;
            case Step::RunHome:
                RunHome(c, view);
                break;
            case Step::RunEndKey:
                RunEndKey(c, view);
                break;
            case Step::ScreenHome:
                ScreenHome(c, view);
                break;
            case Step::ScreenEnd:
                ScreenEnd(c, view);
                break;
            case Step::WordLeft:
                WordLeft(c, view);
                break;
            case Step::WordRight:
                WordRight(c, view);
                break;
            case Step::ToggleItalics:
                ToggleItalics(c, view);
                break;
            case Step::ToggleUnderline:
                ToggleUnderline(c);
                break;
            case Step::DeleteForward:
                DeleteForward(c, view);
                break;
            case Step::Backspace:
                Backspace(c, view);
                break;
            case Step::NewLine:
                NewLine(c, view);
                break;
            case Step::ShiftRun: {
                static constexpr int kShifts[] = {4, -4, 1, -1, 9, -9};
                ShiftRun(c, view, kShifts[Uniform(0, 5)]);
                break;
            }
            case Step::CenterRun:
                CenterRun(c, view);
                break;
            case Step::RunUp:
                RunUp(c, view);
                break;
            case Step::RunDown:
                RunDown(c, view);
                break;
        }
    }

    void Check(Step step, int index) {
        SCOPED_TRACE("step " + std::to_string(index) + " kind " + std::to_string(int(step)));
        Caption& caption = *context_.editCopy;
        caption.loadFrames = 1234;  // stands for a computed value
        const Snapshot before(context_);
        const int runsBefore = CountRuns(caption);
        const int charactersBefore = CountCharacters(caption);
        CountingView view;
        Do(step, view);

        const bool changed = !caption.SameScreen(before.caption);
        const int runs = CountRuns(caption);
        const int characters = CountCharacters(caption);
        ASSERT_LE(view.beeps, 1);
        if (view.beeps == 1) {
            ++refusals;
            ASSERT_TRUE(before == context_) << "a refused edit changed something";
            ASSERT_EQ(view.Calls(), 1) << "a refused edit did more than beep";
        }
        if (changed) {
            ++changes;
            ASSERT_EQ(caption.loadFrames, -1);
        }
        ASSERT_TRUE(context_.caretRow >= 0 && context_.caretRow < kScreenRows);
        ASSERT_TRUE(context_.caretColumn >= 0 && context_.caretColumn <= kScreenColumns);
        ASSERT_EQ(CheckCells(caption), "");

        if (MovesTheCaretOnly(step)) {
            ASSERT_FALSE(changed);
            ASSERT_EQ(view.beeps, 0);
        }
        switch (step) {
            case Step::Type:
                if (view.beeps == 0) {
                    ASSERT_EQ(characters, charactersBefore + 1);
                    ASSERT_TRUE(runs == runsBefore || runs == runsBefore + 1);
                }
                break;
            case Step::DeleteForward:
                if (view.beeps == 0) {
                    ASSERT_EQ(characters, charactersBefore - 1);
                }
                ASSERT_TRUE(runs == runsBefore || runs == runsBefore - 1);
                break;
            case Step::Backspace:
                ASSERT_TRUE(characters == charactersBefore || characters == charactersBefore - 1);
                ASSERT_TRUE(runs == runsBefore || runs == runsBefore - 1);
                break;
            case Step::NewLine:
                ASSERT_EQ(characters, charactersBefore);
                ASSERT_TRUE(runs == runsBefore || runs == runsBefore + 1);
                break;
            default:
                ASSERT_EQ(characters, charactersBefore);
                ASSERT_EQ(runs, runsBefore);
                break;
        }
        ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "");
    }

    std::mt19937 random_;
    EditingContext context_;
    std::vector<uint8_t> characters_;
    bool emptying_ = false;
};

class RandomSession : public ::testing::TestWithParam<uint32_t> {};

TEST_P(RandomSession, KeepsTheScreenSoundForTenThousandSteps) {
    Session session(GetParam());
    session.Run(10000);
    // The session must have filled and emptied the screen several times, with many edits
    // refused on the crowded rows.
    EXPECT_GE(session.cycles, 4);
    EXPECT_GT(session.refusals, 500);
    EXPECT_GT(session.changes, 3000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSession, ::testing::Values(1u, 7u, 42u, 2024u, 65535u));

}  // namespace
}  // namespace vantrel
