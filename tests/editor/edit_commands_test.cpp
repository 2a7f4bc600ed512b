// Typing, Delete, Backspace with its join to the row above, and NewLine.
#include "editor/edit_commands.h"

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

TEST(TypeCharacter, WritesAtTheCaretAndMovesItOn) {
    EditingContext context = Editing(0, 0);
    CountingView view;
    EXPECT_TRUE(TypeCharacter(context, view, 'a'));
    EXPECT_EQ(context.editCopy->cells[0][0], (CaptionCell{'a', 0x38}));
    EXPECT_EQ(context.caretColumn, 1);
    EXPECT_EQ(view.caretsMoved, 1);
    EXPECT_EQ(view.caretColumn, 1);
    EXPECT_EQ(view.shows, 1);
    EXPECT_TRUE(context.needsRefresh);
    EXPECT_EQ(view.beeps, 0);
}

TEST(TypeCharacter, ARefusedCharacterBeepsOnceAndChangesNothing) {
    EditingContext context = Editing(2, 32);
    PutText(*context.editCopy, 2, 0, "abc");
    context.editCopy->loadFrames = 8;
    const Snapshot before(context);
    CountingView view;
    EXPECT_FALSE(TypeCharacter(context, view, 'x'));
    EXPECT_TRUE(before == context);
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.Calls(), 1);
}

TEST(DeleteForward, DeletesAndStepsOverTheCodesAfter) {
    EditingContext context = Editing(0, 6);
    Caption& caption = *context.editCopy;
    PutText(caption, 0, 6, "w");
    caption.cells[0][7] = {0x19, 0x38};
    PutText(caption, 0, 8, "gg", 0x39);
    CountingView view;
    DeleteForward(context, view);
    // g now opens the run at column 6 and needs its colour code; the caret stands before g.
    EXPECT_EQ(RowText(caption, 0), Row(6, "#gg"));
    EXPECT_EQ(context.caretColumn, 7);
    EXPECT_EQ(context.typingAttribute, 0x39);
    EXPECT_EQ(view.shows, 1);
    EXPECT_EQ(view.caretsPlaced, 1);
}

TEST(DeleteForward, NothingToDeleteBeepsOnce) {
    EditingContext context = Editing(0, 3);
    PutText(*context.editCopy, 0, 0, "abc");
    const Snapshot before(context);
    CountingView view;
    DeleteForward(context, view);
    EXPECT_TRUE(before == context);
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.Calls(), 1);
}

TEST(Backspace, DeletesTheCharacterBeforeTheCaret) {
    EditingContext context = Editing(3, 3);
    PutText(*context.editCopy, 3, 0, "abcd");
    CountingView view;
    Backspace(context, view);
    EXPECT_EQ(RowText(*context.editCopy, 3), Row(0, "abd"));
    EXPECT_EQ(context.caretColumn, 2);
    EXPECT_EQ(view.beeps, 0);
}

TEST(Backspace, JoinsARunToTheEndOfTheRowAbove) {
    EditingContext context = Editing(5, 12);
    Caption& caption = *context.editCopy;
    PutText(caption, 4, 0, "0123456789");
    PutText(caption, 5, 12, "sixsix");
    PutText(caption, 5, 20, "stay");
    caption.loadFrames = 4;
    CountingView view;
    Backspace(context, view);
    EXPECT_EQ(RowText(caption, 4), Row(0, "0123456789sixsix"));
    EXPECT_EQ(RowText(caption, 5), Row(20, "stay"));
    EXPECT_EQ(context.caretRow, 4);
    EXPECT_EQ(context.caretColumn, 10);
    EXPECT_EQ(caption.loadFrames, -1);
    EXPECT_EQ(view.beeps, 0);
    EXPECT_EQ(view.shows, 1);
}

TEST(Backspace, AJoinedRunTakesTheCodeOfItsChangeOfAttribute) {
    EditingContext context = Editing(1, 0);
    Caption& caption = *context.editCopy;
    PutText(caption, 0, 0, "plain");
    PutText(caption, 1, 0, "green", 0x39);  // needs no code at column 0, but after "plain" it does
    CountingView view;
    Backspace(context, view);
    EXPECT_EQ(RowText(caption, 0), Row(0, "plain#green"));
    EXPECT_EQ(caption.cells[0][5], (CaptionCell{0x19, 0x38}));
    EXPECT_EQ(context.caretColumn, 5);
    EXPECT_EQ(FirstDifference(caption, RoundTrip(caption)), "");
}

TEST(Backspace, AJoinThatDoesNotFitOrHasNoRowAboveBeeps) {
    struct Case {
        int row;
        const char* above;
        const char* run;
    };
    const Case cases[] = {
        {0, "", "top"},                                // no row above
        {6, "", "text"},                               // the row above is empty
        {6, "0123456789012345678901234567", "12345"},  // 28 + 5 > 32
    };
    for (const Case& c : cases) {
        EditingContext context = Editing(c.row, 0);
        if (c.row > 0) PutText(*context.editCopy, c.row - 1, 0, c.above);
        PutText(*context.editCopy, c.row, 0, c.run);
        const Snapshot before(context);
        CountingView view;
        Backspace(context, view);
        EXPECT_TRUE(before == context) << c.row << " " << c.run;
        EXPECT_EQ(view.beeps, 1);
        EXPECT_EQ(view.Calls(), 1);
    }
}

TEST(Backspace, ARunThatExactlyFillsTheRowAboveJoins) {
    EditingContext context = Editing(6, 0);
    PutText(*context.editCopy, 5, 0, "012345678901234567890123456");  // 27
    PutText(*context.editCopy, 6, 0, "abcde");
    CountingView view;
    Backspace(context, view);
    EXPECT_EQ(RowText(*context.editCopy, 5), "012345678901234567890123456abcde");
    EXPECT_EQ(view.beeps, 0);
}

TEST(NewLine, MovesTheTextAfterTheCaretUnderTheStartOfTheRun) {
    EditingContext context = Editing(2, 9);
    Caption& caption = *context.editCopy;
    PutText(caption, 2, 5, "one two");  // 5-11
    CountingView view;
    NewLine(context, view);
    EXPECT_EQ(RowText(caption, 2), Row(5, "one "));
    EXPECT_EQ(RowText(caption, 3), Row(5, "two"));
    EXPECT_EQ(context.caretRow, 3);
    EXPECT_EQ(context.caretColumn, 5);
    EXPECT_EQ(view.beeps, 0);
}

TEST(NewLine, TheMovedTextGetsTheCodesOfARunStartAndLeavesNoneBehind) {
    EditingContext context = Editing(0, 3);
    Caption& caption = *context.editCopy;
    PutText(caption, 0, 4, "red", 0x3C);
    PutText(caption, 0, 0, "ab ");
    caption.cells[0][3] = {0x1C, 0x38};  // "ab " + red code + "red"
    context.caretColumn = 3;             // before the code
    CountingView view;
    NewLine(context, view);
    EXPECT_EQ(RowText(caption, 0), Row(0, "ab "));
    // At column 0 the preamble carries red, so no code opens the new run.
    EXPECT_EQ(RowText(caption, 1), Row(0, "red"));
    EXPECT_EQ(FirstDifference(caption, RoundTrip(caption)), "");

    // The same split of a run that starts at column 4 or later needs the code.
    EditingContext shifted = Editing(0, 9);
    PutText(*shifted.editCopy, 0, 6, "ab ");
    shifted.editCopy->cells[0][9] = {0x1C, 0x38};
    PutText(*shifted.editCopy, 0, 10, "red", 0x3C);
    shifted.caretColumn = 10;  // after the code
    NewLine(shifted, view);
    EXPECT_EQ(RowText(*shifted.editCopy, 0), Row(6, "ab "));
    EXPECT_EQ(RowText(*shifted.editCopy, 1), Row(6, "#red"));
    EXPECT_EQ(FirstDifference(*shifted.editCopy, RoundTrip(*shifted.editCopy)), "");
}

TEST(NewLine, WithNoTextAfterTheCaretOnlyTheCaretMoves) {
    EditingContext context = Editing(2, 8);
    PutText(*context.editCopy, 2, 5, "abc");
    const Caption before = *context.editCopy;
    CountingView view;
    NewLine(context, view);
    EXPECT_TRUE(context.editCopy->SameScreen(before));
    EXPECT_EQ(context.caretRow, 3);
    EXPECT_EQ(context.caretColumn, 5);
    EXPECT_EQ(view.beeps, 0);
}

TEST(NewLine, NoRoomOnTheNextRowBeepsAndTheLastRowDoesNothing) {
    EditingContext context = Editing(2, 6);
    PutText(*context.editCopy, 2, 5, "abc");
    PutText(*context.editCopy, 3, 7, "x");  // "bc" would go to 5-6, touching it
    Snapshot before(context);
    CountingView view;
    NewLine(context, view);
    EXPECT_TRUE(before == context);
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.Calls(), 1);

    EditingContext last = Editing(14, 1);
    PutText(*last.editCopy, 14, 0, "end");
    before = Snapshot(last);
    CountingView quiet;
    NewLine(last, quiet);
    EXPECT_TRUE(before == last);
    EXPECT_EQ(quiet.Calls(), 0);
}

}  // namespace
}  // namespace vantrel
