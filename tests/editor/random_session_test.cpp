// Long random editing sessions: after every command or typed character the screen must still
// be one that the editor may make and that the code string renders back unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/typing_attribute.h"
#include "editor_fixtures.h"
#include "support/random_screen.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::FirstDifference;
using editor_test::RoundTrip;
using editor_test::Snapshot;

// What a step may do to the characters and runs of the screen.
enum class Effect { CaretOnly, Types, Deletes, Joins, Breaks, Moves };
// The least and most characters, then runs, that a step not refused adds, by effect. A refused
// one changes nothing at all.
constexpr int kAllowed[][4] = {{0, 0, 0, 0},   {1, 1, 0, 1}, {-1, -1, -1, 0},
                               {-1, 0, -1, 0}, {0, 0, 0, 1}, {0, 0, 0, 0}};

struct Step {
    const char* name;
    void (*command)(EditingContext&, EditorView&);  // null: typing or a click
    Effect effect;
    int filling;   // weight while the screen fills
    int emptying;  // weight once it is crowded, until it has emptied again
};

template <int Columns>
void Shift(EditingContext& context, EditorView& view) {
    ShiftRun(context, view, Columns);
}

constexpr Step kSteps[] = {
    {"type", nullptr, Effect::Types, 40, 8},
    {"click", nullptr, Effect::CaretOnly, 6, 4},
    {"left", CaretLeft, Effect::CaretOnly, 3, 2},
    {"right", CaretRight, Effect::CaretOnly, 3, 2},
    {"up", CaretUp, Effect::CaretOnly, 2, 2},
    {"down", CaretDown, Effect::CaretOnly, 2, 2},
    {"run home", CaretToRunStart, Effect::CaretOnly, 2, 2},
    {"run end", CaretToRunEnd, Effect::CaretOnly, 2, 8},
    {"screen home", ScreenHome, Effect::CaretOnly, 1, 1},
    {"screen end", ScreenEnd, Effect::CaretOnly, 1, 3},
    {"word left", WordLeft, Effect::CaretOnly, 2, 2},
    {"word right", WordRight, Effect::CaretOnly, 2, 2},
    {"italics", ToggleItalics, Effect::CaretOnly, 4, 2},
    {"underline", [](EditingContext& c, EditorView&) { ToggleUnderline(c); }, Effect::CaretOnly, 3,
     2},
    {"delete", DeleteForward, Effect::Deletes, 3, 8},
    {"backspace", Backspace, Effect::Joins, 3, 40},
    {"new line", NewLine, Effect::Breaks, 4, 3},
    {"shift 4", Shift<4>, Effect::Moves, 1, 1},
    {"shift -4", Shift<-4>, Effect::Moves, 1, 1},
    {"shift 1", Shift<1>, Effect::Moves, 1, 1},
    {"shift -1", Shift<-1>, Effect::Moves, 1, 1},
    {"shift 9", Shift<9>, Effect::Moves, 1, 1},
    {"shift -9", Shift<-9>, Effect::Moves, 1, 1},
    {"centre", CenterRun, Effect::Moves, 2, 2},
    {"run up", RunUp, Effect::Moves, 3, 3},
    {"run down", RunDown, Effect::Moves, 3, 3},
};
constexpr int kCrowded = 240;
constexpr int kSparse = 60;

// The runs and the characters on the screen.
std::pair<int, int> CountRunsAndCharacters(const Caption& caption) {
    int runs = 0, characters = 0;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            const CaptionCell* row = caption.cells[r];
            runs += !row[c].IsEmpty() && (c == 0 || row[c - 1].IsEmpty());
            characters += row[c].character >= 0x20;
        }
    }
    return {runs, characters};
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
            const uint8_t ch = row[c].character;
            if (row[c].IsEmpty()) continue;
            const bool runEnds = c == kScreenColumns - 1 || row[c + 1].IsEmpty();
            if (c == 0 || row[c - 1].IsEmpty()) runHasCharacter = false;
            if (ch >= 0x20) runHasCharacter = true;
            const char* fault = ch == 0 ? "attribute alone"
                                : ch < 0x20 && ch != 0x0C && ch < 0x18
                                    ? "a code the editor never makes"
                                : ch == 0x80                  ? "0x80"
                                : runEnds && ch < 0x20        ? "run ends with a code"
                                : runEnds && !runHasCharacter ? "run without a character"
                                                              : nullptr;
            if (fault)
                return std::string(fault) + " at " + std::to_string(r) + "," + std::to_string(c);
        }
    }
    return "";
}

class RandomSession : public ::testing::TestWithParam<uint32_t> {};

// The session fills the screen, then empties it once crowded, over and over; it must have done
// so several times, with many edits refused on the crowded rows.
TEST_P(RandomSession, KeepsTheScreenSoundForTenThousandSteps) {
    std::mt19937 random(GetParam());
    auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    static const std::vector<uint8_t> all = testing::TypableCharacters();
    EditingContext context = Editing(0, 0);
    Caption& caption = *context.editCopy;
    bool emptying = false;
    int refusals = 0, cycles = 0, changes = 0;
    for (int i = 0; i < 10000 && !HasFatalFailure(); ++i) {
        const int crowd = CountRunsAndCharacters(caption).second;
        cycles += crowd > kCrowded && !emptying;
        emptying = crowd > kCrowded || (emptying && crowd >= kSparse);
        int n = 0;
        for (const Step& s : kSteps) n += emptying ? s.emptying : s.filling;
        n = uniform(0, n - 1);
        const Step* step = kSteps;
        while ((n -= emptying ? step->emptying : step->filling) >= 0) ++step;
        SCOPED_TRACE(::testing::Message() << "step " << i << " " << step->name);

        caption.loadFrames = 1234;  // stands for a computed value
        const Snapshot before(context);
        const auto [runsBefore, charactersBefore] = CountRunsAndCharacters(caption);
        CountingView view;
        if (step->command) {
            step->command(context, view);
        } else if (step->effect == Effect::Types) {
            // Mostly letters and spaces, so that words and runs form; now and then any character.
            TypeCharacter(context, view,
                          uniform(0, 9) == 0   ? all[uniform(0, int(all.size()) - 1)]
                          : uniform(0, 5) == 0 ? ' '
                                               : uint8_t('a' + uniform(0, 25)));
        } else {
            context.caretRow = uniform(0, kScreenRows - 1);
            context.caretColumn = uniform(0, kScreenColumns);
            PickUpAttribute(context);
        }

        const bool changed = !caption.SameScreen(before.caption);
        const auto [runsAfter, charactersAfter] = CountRunsAndCharacters(caption);
        const int runs = runsAfter - runsBefore, characters = charactersAfter - charactersBefore;
        ASSERT_LE(view.beeps, 1);
        if (view.beeps == 1) {
            ++refusals;
            ASSERT_TRUE(before == context) << "a refused edit changed something";
            ASSERT_EQ(view.Calls(), 1) << "a refused edit did more than beep";
        }
        if (changed) {
            ++changes;
            ASSERT_EQ(caption.loadFrames, -1);
        }
        ASSERT_TRUE(context.caretRow >= 0 && context.caretRow < kScreenRows);
        ASSERT_TRUE(context.caretColumn >= 0 && context.caretColumn <= kScreenColumns);
        ASSERT_EQ(CheckCells(caption), "");
        if (step->effect == Effect::CaretOnly) {
            ASSERT_FALSE(changed);
            ASSERT_EQ(view.beeps, 0);
        }
        const int* allowed = kAllowed[static_cast<int>(step->effect)];
        if (view.beeps == 0) {
            ASSERT_TRUE(characters >= allowed[0] && characters <= allowed[1]) << characters;
            ASSERT_TRUE(runs >= allowed[2] && runs <= allowed[3]) << runs;
        }
        ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "");
    }
    EXPECT_GE(cycles, 4);
    EXPECT_GT(refusals, 500);
    EXPECT_GT(changes, 3000);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSession, ::testing::Values(1u, 7u, 42u, 2024u, 65535u));

}  // namespace
}  // namespace vantrel
