// Caret movement: where each command puts the caret, the attribute it picks up, and that a
// movement at an edge does nothing at all.
#include "editor/caret_commands.h"

#include <gtest/gtest.h>

#include "editor/typing_attribute.h"
#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::PutText;
using editor_test::Snapshot;

using Command = void (*)(EditingContext&, EditorView&);

TEST(CaretCommands, ArrowsMoveOneCellPickUpPlaceAndRefresh) {
    EditingContext context = Editing(3, 5);
    PutText(*context.editCopy, 3, 0, "abcd", 0x3C);  // red
    CountingView view;
    CaretLeft(context, view);
    EXPECT_EQ(context.caretColumn, 4);
    EXPECT_EQ(context.typingAttribute, 0x3C);  // the character on the left
    EXPECT_EQ(view.caretsPlaced, 1);
    EXPECT_EQ(view.caretColumn, 4);
    EXPECT_EQ(view.caretAttribute, 0x3C);
    EXPECT_EQ(view.shows, 1);
    EXPECT_TRUE(context.needsRefresh);

    CaretUp(context, view);
    EXPECT_EQ(context.caretRow, 2);
    EXPECT_EQ(context.typingAttribute, 0x38);  // nothing there
    CaretDown(context, view);
    CaretDown(context, view);
    EXPECT_EQ(context.caretRow, 4);
    CaretRight(context, view);
    EXPECT_EQ(context.caretColumn, 5);
    EXPECT_EQ(view.beeps, 0);
}

TEST(CaretCommands, MovesAtTheEdgesDoNothingAndDoNotBeep) {
    struct Case {
        Command command;
        int row;
        int column;
    };
    const Case cases[] = {
        {CaretLeft, 7, 0}, {CaretRight, 7, 32}, {CaretUp, 0, 9},    {CaretDown, 14, 9},
        {RunHome, 2, 0},   {RunHome, 2, 6},     {RunEndKey, 2, 32}, {RunEndKey, 2, 4},
        {WordLeft, 2, 0},  {WordRight, 2, 32},  {WordRight, 2, 4},  {WordLeft, 2, 6},
    };
    for (const Case& c : cases) {
        EditingContext context = Editing(c.row, c.column);
        PutText(*context.editCopy, 2, 6, "word");
        context.typingAttribute = 0xF9;  // toggled by hand: must survive
        const Snapshot before(context);
        CountingView view;
        c.command(context, view);
        EXPECT_TRUE(before == context) << c.row << "," << c.column;
        EXPECT_EQ(view.Calls(), 0) << c.row << "," << c.column;
    }
}

TEST(CaretCommands, ScreenHomeAndEndOnAnEmptyScreenDoNothing) {
    for (Command command : {ScreenHome, ScreenEnd}) {
        EditingContext context = Editing(6, 6);
        CountingView view;
        command(context, view);
        EXPECT_EQ(context.caretRow, 6);
        EXPECT_EQ(context.caretColumn, 6);
        EXPECT_EQ(view.Calls(), 0);
    }
}

TEST(CaretCommands, ScreenHomeAndEndFindTheFirstAndLastCells) {
    EditingContext context = Editing(0, 0);
    PutText(*context.editCopy, 4, 10, "first");
    PutText(*context.editCopy, 4, 20, "x");
    PutText(*context.editCopy, 9, 3, "last", 0x3A);
    CountingView view;
    ScreenHome(context, view);
    EXPECT_EQ(context.caretRow, 4);
    EXPECT_EQ(context.caretColumn, 10);
    EXPECT_EQ(view.shows, 1);
    ScreenEnd(context, view);
    EXPECT_EQ(context.caretRow, 9);
    EXPECT_EQ(context.caretColumn, 7);
    EXPECT_EQ(context.typingAttribute, 0x3A);
    EXPECT_EQ(view.shows, 2);
}

TEST(CaretCommands, RunHomeAndEndStopAtEmptyCellsWithoutRefreshing) {
    EditingContext context = Editing(1, 8);
    PutText(*context.editCopy, 1, 5, "abcdef");  // 5-10
    PutText(*context.editCopy, 1, 12, "gh");
    CountingView view;
    RunHome(context, view);
    EXPECT_EQ(context.caretColumn, 5);
    RunEndKey(context, view);
    EXPECT_EQ(context.caretColumn, 11);
    EXPECT_EQ(view.caretsPlaced, 2);
    EXPECT_EQ(view.shows, 0);
}

TEST(CaretCommands, WordMovesSkipSpacesAndCodesThenTheWord) {
    EditingContext context = Editing(0, 0);
    Caption& caption = *context.editCopy;
    // "ab cd" then a colour code, "ef" and a trailing space: a b _ c d # e f _
    PutText(caption, 0, 0, "ab cd");
    caption.cells[0][5] = {0x19, 0x38};
    PutText(caption, 0, 6, "ef ", 0x39);
    CountingView view;
    WordRight(context, view);
    EXPECT_EQ(context.caretColumn, 3);
    WordRight(context, view);
    EXPECT_EQ(context.caretColumn, 6);  // over "cd" and then the code
    WordRight(context, view);
    EXPECT_EQ(context.caretColumn, 9);  // stops at the empty cell
    WordLeft(context, view);
    EXPECT_EQ(context.caretColumn, 6);
    WordLeft(context, view);
    EXPECT_EQ(context.caretColumn, 3);
    WordLeft(context, view);
    EXPECT_EQ(context.caretColumn, 0);
    EXPECT_EQ(view.shows, 0);
    EXPECT_EQ(view.caretsPlaced, 6);
}

TEST(CaretCommands, CommandsWithoutAnEditDoNothing) {
    EditingContext context;
    CountingView view;
    for (Command command : {CaretLeft, CaretRight, CaretUp, CaretDown, RunHome, RunEndKey,
                            ScreenHome, ScreenEnd, WordLeft, WordRight}) {
        command(context, view);
    }
    EXPECT_EQ(view.Calls(), 0);
    EXPECT_EQ(context.caretRow, -1);
}

TEST(PickUpAttribute, TakesTheCharacterOnTheLeftElseTheCellAtTheCaret) {
    EditingContext context = Editing(0, 0);
    Caption& caption = *context.editCopy;
    caption.cells[0][4] = {0x1C, 0x38};  // red code
    PutText(caption, 0, 5, "r", 0x3C);
    PutText(caption, 0, 10, "u", 0xB9);

    context.caretColumn = 4;  // empty on the left, code at the caret: the code's attribute
    context.typingAttribute = 0;
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0x38);
    context.caretColumn = 5;  // code on the left, red at the caret
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0x3C);
    context.caretColumn = 6;  // red on the left
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0x3C);
    context.caretColumn = 10;  // empty on the left, underlined green at the caret
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0xB9);
    context.caretColumn = 8;  // nothing either side
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0x38);

    PutText(caption, 1, 31, "z", 0x3D);
    context.caretRow = 1;
    context.caretColumn = 32;
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0x3D);
    context.caretRow = 2;
    PickUpAttribute(context);
    EXPECT_EQ(context.typingAttribute, 0x38);
}

TEST(TypingAttribute, TogglesFlipOneBitEach) {
    EditingContext context = Editing(0, 0);
    CountingView view;
    ToggleItalics(context, view);
    EXPECT_EQ(context.typingAttribute, 0x78);
    EXPECT_EQ(view.caretsPlaced, 1);  // the caret changes shape
    EXPECT_EQ(view.caretAttribute, 0x78);
    ToggleUnderline(context);
    EXPECT_EQ(context.typingAttribute, 0xF8);
    ToggleItalics(context, view);
    ToggleUnderline(context);
    EXPECT_EQ(context.typingAttribute, 0x38);
    EXPECT_EQ(view.beeps + view.shows, 0);
}

}  // namespace
}  // namespace vantrel
