// Shifting, centring and moving runs up and down through the commands.
#include "editor/run_commands.h"

#include <gtest/gtest.h>

#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::FirstDifference;
using editor_test::PutText;
using editor_test::RoundTrip;
using editor_test::Row;
using editor_test::RowText;
using editor_test::Snapshot;

TEST(ShiftRun, MovesTheRunAndTheCaret) {
    EditingContext context = Editing(4, 3);
    PutText(*context.editCopy, 4, 1, "word");
    CountingView view;
    ShiftRun(context, view, 4);
    EXPECT_EQ(RowText(*context.editCopy, 4), Row(5, "word"));
    EXPECT_EQ(context.caretColumn, 7);
    ShiftRun(context, view, -5);
    EXPECT_EQ(RowText(*context.editCopy, 4), Row(0, "word"));
    EXPECT_EQ(context.caretColumn, 2);
    EXPECT_EQ(view.beeps, 0);
    EXPECT_EQ(view.shows, 2);
}

TEST(ShiftRun, ARunThatDoesNotFitBeepsOnceAndStays) {
    struct Case {
        int columns;
        int caret;
    };
    for (const Case& c : {Case{-3, 12}, Case{-2, 12}, Case{20, 14}, Case{19, 10}}) {
        EditingContext context = Editing(4, c.caret);
        PutText(*context.editCopy, 4, 10, "text");  // 10-13
        PutText(*context.editCopy, 4, 6, "ab");     // 6-7: one empty cell before "text"
        const Snapshot before(context);
        CountingView view;
        ShiftRun(context, view, c.columns);
        EXPECT_TRUE(before == context) << c.columns;
        EXPECT_EQ(view.beeps, 1);
        EXPECT_EQ(view.Calls(), 1);
    }
}

TEST(ShiftRun, WithNoRunTheCaretAloneMovesOrBeeps) {
    EditingContext context = Editing(0, 10);
    CountingView view;
    ShiftRun(context, view, 4);
    EXPECT_EQ(context.caretColumn, 14);
    EXPECT_EQ(view.beeps, 0);
    ShiftRun(context, view, 19);  // 33: off the row
    EXPECT_EQ(context.caretColumn, 14);
    EXPECT_EQ(view.beeps, 1);
    ShiftRun(context, view, -15);
    EXPECT_EQ(context.caretColumn, 14);
    EXPECT_EQ(view.beeps, 2);
}

TEST(ShiftRun, ARunMovedToColumnFourOrLaterGetsTheColourCodeItNeedsThere) {
    EditingContext context = Editing(2, 2);
    // Green at column 0: the preamble carries the colour, no code cell.
    PutText(*context.editCopy, 2, 0, "green", 0x39);
    CountingView view;
    ShiftRun(context, view, 4);
    EXPECT_EQ(RowText(*context.editCopy, 2), Row(4, "#green"));
    EXPECT_EQ(context.editCopy->cells[2][4], (CaptionCell{0x19, 0x38}));
    EXPECT_EQ(context.caretColumn, 7);  // still between "gr" and "een"
    EXPECT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "");
    // Back to the left it keeps the code, which renders back just as well there.
    ShiftRun(context, view, -4);
    EXPECT_EQ(RowText(*context.editCopy, 2), Row(0, "#green"));
    EXPECT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "");
}

TEST(ShiftRun, TheCodeANewPlaceNeedsMustFitToo) {
    EditingContext context = Editing(2, 0);
    PutText(*context.editCopy, 2, 0, std::string(28, 'g'), 0x39);  // 0-27
    const Snapshot before(context);
    CountingView view;
    ShiftRun(context, view, 4);  // 28 characters and a code from column 4: 33 cells
    EXPECT_TRUE(before == context);
    EXPECT_EQ(view.beeps, 1);
}

TEST(CenterRun, CentresRunsOfEvenAndOddLength) {
    EditingContext context = Editing(7, 2);
    PutText(*context.editCopy, 7, 0, "0123456789");
    CountingView view;
    CenterRun(context, view);
    EXPECT_EQ(RowText(*context.editCopy, 7), Row(11, "0123456789"));  // 11-20
    EXPECT_EQ(context.caretColumn, 13);

    EditingContext odd = Editing(8, 30);
    PutText(*odd.editCopy, 8, 21, "0123456789a");
    CenterRun(odd, view);
    EXPECT_EQ(RowText(*odd.editCopy, 8), Row(10, "0123456789a"));  // 10-20
    EXPECT_EQ(odd.caretColumn, 19);
    EXPECT_EQ(view.beeps, 0);
}

TEST(CenterRun, CountsTheCodeTheRunGainsInTheMiddle) {
    EditingContext context = Editing(7, 0);
    PutText(*context.editCopy, 7, 0, "0123456789", 0x39);  // green, no code at column 0
    CountingView view;
    CenterRun(context, view);
    // With its code the run is 11 cells long: 10-20.
    EXPECT_EQ(RowText(*context.editCopy, 7), Row(10, "#0123456789"));
}

TEST(RunUpDown, PushesTheRunBelowAndTheCaretFollows) {
    EditingContext context = Editing(12, 3);
    Caption& caption = *context.editCopy;
    PutText(caption, 12, 0, "top");
    PutText(caption, 13, 1, "mid");
    CountingView view;
    RunDown(context, view);
    EXPECT_EQ(RowText(caption, 12), Row(0, ""));
    EXPECT_EQ(RowText(caption, 13), Row(0, "top"));
    EXPECT_EQ(RowText(caption, 14), Row(1, "mid"));
    EXPECT_EQ(context.caretRow, 13);
    EXPECT_EQ(context.caretColumn, 3);
    EXPECT_EQ(view.caretsPlaced, 1);
    EXPECT_EQ(view.shows, 1);

    RunUp(context, view);
    EXPECT_EQ(RowText(caption, 12), Row(0, "top"));
    EXPECT_EQ(context.caretRow, 12);
}

TEST(RunUpDown, ABlockedMoveBeepsOnceAndChangesNothing) {
    EditingContext context = Editing(13, 1);
    PutText(*context.editCopy, 13, 0, "abc");
    PutText(*context.editCopy, 14, 2, "xyz");
    Snapshot before(context);
    CountingView view;
    RunDown(context, view);
    EXPECT_TRUE(before == context);
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.Calls(), 1);

    EditingContext top = Editing(0, 1);
    PutText(*top.editCopy, 0, 0, "abc");
    before = Snapshot(top);
    RunUp(top, view);
    EXPECT_TRUE(before == top);
    EXPECT_EQ(view.beeps, 2);
}

}  // namespace
}  // namespace vantrel
