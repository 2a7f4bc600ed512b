// Inserting and deleting characters: the codes written around them, the gap kept between runs
// and the refusals.
#include "editor/character_edit.h"

#include <gtest/gtest.h>

#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::FirstDifference;
using editor_test::PutText;
using editor_test::RoundTrip;
using editor_test::Row;
using editor_test::RowText;

TEST(InsertCharacter, FirstCharacterOnAnEmptyScreen) {
    Caption caption;
    EXPECT_EQ(InsertCharacter(caption, 'a', 0, 0, 0x38), 1);
    EXPECT_EQ(caption.cells[0][0], (CaptionCell{'a', 0x38}));
    EXPECT_EQ(RowText(caption, 0), Row(0, "a"));
}

TEST(InsertCharacter, GreenAtColumnFiveOpensWithAColourCode) {
    Caption caption;
    EXPECT_EQ(InsertCharacter(caption, 'g', 3, 5, 0x39), 7);
    EXPECT_EQ(caption.cells[3][5], (CaptionCell{0x19, 0x38}));
    EXPECT_EQ(caption.cells[3][6], (CaptionCell{'g', 0x39}));
    EXPECT_EQ(RowText(caption, 3), Row(5, "#g"));
}

TEST(InsertCharacter, WhiteItalicsNeedsACodeOnlyFromColumnFour) {
    Caption caption;
    EXPECT_EQ(InsertCharacter(caption, 'i', 1, 2, 0x78), 3);
    EXPECT_EQ(caption.cells[1][2], (CaptionCell{'i', 0x78}));
    EXPECT_EQ(RowText(caption, 1), Row(2, "i"));

    EXPECT_EQ(InsertCharacter(caption, 'i', 2, 8, 0x78), 10);
    EXPECT_EQ(caption.cells[2][8], (CaptionCell{0x0C, 0x38}));
    EXPECT_EQ(caption.cells[2][9], (CaptionCell{'i', 0x78}));
}

TEST(InsertCharacter, AChangeOfColourInsideARunTakesACodeCell) {
    Caption caption;
    PutText(caption, 0, 0, "ab");
    EXPECT_EQ(InsertCharacter(caption, 'G', 0, 1, 0x39), 3);
    // a, green code, G, white code, b
    EXPECT_EQ(RowText(caption, 0), Row(0, "a#G#b"));
    EXPECT_EQ(caption.cells[0][1], (CaptionCell{0x19, 0x38}));
    EXPECT_EQ(caption.cells[0][3], (CaptionCell{0x18, 0x39}));
    EXPECT_EQ(caption.cells[0][4], (CaptionCell{'b', 0x38}));
}

TEST(InsertCharacter, TypingBeforeTheCodesOfARunRewritesThem) {
    Caption caption;
    ASSERT_EQ(InsertCharacter(caption, 'g', 0, 6, 0x39), 8);  // code at 6, g at 7
    // White before the run: no code opens it now, a colour code leads into the green.
    EXPECT_EQ(InsertCharacter(caption, 'w', 0, 6, 0x38), 7);
    EXPECT_EQ(RowText(caption, 0), Row(6, "w#g"));
    EXPECT_EQ(caption.cells[0][7], (CaptionCell{0x19, 0x38}));
    // Green typed between the code and the g joins the green text under the same code.
    EXPECT_EQ(InsertCharacter(caption, 'h', 0, 8, 0x39), 9);
    EXPECT_EQ(RowText(caption, 0), Row(6, "w#hg"));
}

TEST(InsertCharacter, CodesThatReachColumnZeroAreRewrittenWithTheRunStart) {
    Caption caption;
    // A green run moved to column 0 keeps the colour code it had further right.
    caption.cells[0][0] = {0x19, 0x38};
    PutText(caption, 0, 1, "g", 0x39);
    // White typed after the code opens the run itself: the code now leads into the g.
    EXPECT_EQ(InsertCharacter(caption, 'w', 0, 1, 0x38), 1);
    EXPECT_EQ(RowText(caption, 0), Row(0, "w#g"));
    EXPECT_EQ(caption.cells[0][1], (CaptionCell{0x19, 0x38}));
    EXPECT_EQ(FirstDifference(caption, RoundTrip(caption)), "");
}

TEST(InsertCharacter, ColumnThirtyTwoIsRefused) {
    Caption caption;
    PutText(caption, 0, 28, "abcd");
    const Caption before = caption;
    caption.loadFrames = 7;
    EXPECT_EQ(InsertCharacter(caption, 'x', 0, 32, 0x38), 0);
    EXPECT_TRUE(caption.SameScreen(before));
    EXPECT_EQ(caption.loadFrames, 7);
}

TEST(InsertCharacter, AFullRowRefusesMore) {
    Caption caption;
    PutText(caption, 0, 0, std::string(32, 'm'));
    const Caption before = caption;
    for (int column = 0; column < 32; ++column) {
        EXPECT_EQ(InsertCharacter(caption, 'x', 0, column, 0x38), 0) << column;
    }
    EXPECT_TRUE(caption.SameScreen(before));
}

TEST(InsertCharacter, OneEmptyCellMustStayBetweenRuns) {
    Caption caption;
    PutText(caption, 0, 20, "abcdefghij");  // 20-29
    PutText(caption, 0, 31, "z");
    const Caption before = caption;
    EXPECT_EQ(InsertCharacter(caption, 'x', 0, 25, 0x38), 0);
    EXPECT_EQ(InsertCharacter(caption, 'x', 0, 30, 0x38), 0);  // at the end of the first run
    EXPECT_TRUE(caption.SameScreen(before));

    // With two free cells between them there is room for exactly one more character.
    caption.cells[0][29] = {};
    EXPECT_EQ(InsertCharacter(caption, 'x', 0, 25, 0x38), 26);
    EXPECT_EQ(RowText(caption, 0), Row(20, "abcdexfghi.z"));
    EXPECT_EQ(InsertCharacter(caption, 'y', 0, 25, 0x38), 0);
}

TEST(InsertCharacter, ACodeThatWouldPassTheGapIsRefusedToo) {
    Caption caption;
    PutText(caption, 0, 0, "abcd");
    PutText(caption, 0, 6, "z");
    // One free cell after "abcd" would take the character, but green needs a code before it.
    EXPECT_EQ(InsertCharacter(caption, 'g', 0, 4, 0x39), 0);
    EXPECT_EQ(RowText(caption, 0), Row(0, "abcd..z"));
    // White needs no code and leaves cell 5 free.
    EXPECT_EQ(InsertCharacter(caption, 'w', 0, 4, 0x38), 5);
    EXPECT_EQ(RowText(caption, 0), Row(0, "abcdw.z"));
}

TEST(InsertCharacter, BytesThatAreNotCaptionCharactersAreRefused) {
    Caption caption;
    for (int b : {0x00, 0x01, 0x0C, 0x1F, 0x80, 0x81, 0x8F, 0x9C, 0x9F, 0xD0, 0xF0, 0xFE, 0xFF}) {
        EXPECT_EQ(InsertCharacter(caption, uint8_t(b), 0, 0, 0x38), 0) << b;
    }
    EXPECT_EQ(caption.CountOccupiedRows(), 0);
}

TEST(InsertCharacter, RowsAndColumnsOutsideTheScreenAreRefused) {
    Caption caption;
    EXPECT_EQ(InsertCharacter(caption, 'x', 15, 0, 0x38), 0);
    EXPECT_EQ(InsertCharacter(caption, 'x', -1, 0, 0x38), 0);
    EXPECT_EQ(InsertCharacter(caption, 'x', 0, -1, 0x38), 0);
    EXPECT_TRUE(caption.SameScreen(Caption{}));
}

TEST(InsertCharacter, MarksTheLoadFramesStale) {
    Caption caption;
    caption.loadFrames = 12;
    InsertCharacter(caption, 'x', 0, 0, 0x38);
    EXPECT_EQ(caption.loadFrames, -1);
}

TEST(DeleteCharacter, RemovesTheCharacterAndPullsTheTail) {
    Caption caption;
    PutText(caption, 0, 3, "abc");
    caption.loadFrames = 9;
    EXPECT_EQ(DeleteCharacter(caption, 0, 4), 4);
    EXPECT_EQ(RowText(caption, 0), Row(3, "ac"));
    EXPECT_EQ(caption.loadFrames, -1);
}

TEST(DeleteCharacter, TakesTheCodesLeadingIntoTheCharacterWithIt) {
    Caption caption;
    ASSERT_EQ(InsertCharacter(caption, 'g', 0, 6, 0x39), 8);  // #g at 6-7
    ASSERT_EQ(InsertCharacter(caption, 'h', 0, 8, 0x39), 9);
    ASSERT_EQ(InsertCharacter(caption, 'w', 0, 9, 0x38), 11);  // #gh#w
    ASSERT_EQ(RowText(caption, 0), Row(6, "#gh#w"));
    // Deleting h leaves green g then white w: the code between them stays.
    EXPECT_EQ(DeleteCharacter(caption, 0, 8), 8);
    EXPECT_EQ(RowText(caption, 0), Row(6, "#g#w"));
    // Deleting g from the run's start: w opens the run and needs no code.
    EXPECT_EQ(DeleteCharacter(caption, 0, 6), 6);
    EXPECT_EQ(RowText(caption, 0), Row(6, "w"));
    EXPECT_EQ(caption.cells[0][6], (CaptionCell{'w', 0x38}));
}

TEST(DeleteCharacter, DanglingCodesWithNoCharacterAfterThemGo) {
    Caption caption;
    caption.cells[0][4] = {0x19, 0x38};
    caption.cells[0][5] = {0x0C, 0x39};
    EXPECT_EQ(DeleteCharacter(caption, 0, 5), 4);
    EXPECT_EQ(RowText(caption, 0), Row(0, ""));
}

// A screen from elsewhere (a project file, say) can lack a code between two characters; the
// codes that deleting between them needs can then outgrow the cells that go.
TEST(DeleteCharacter, CodesThatWouldNotFitRefuseTheDeletion) {
    Caption caption;
    PutText(caption, 0, 0, "a");
    PutText(caption, 0, 1, "b", 0x39);
    PutText(caption, 0, 2, "c", 0x7C);  // red italics: after white it needs two codes
    PutText(caption, 0, 4, "z");
    PutText(caption, 1, 29, "a");
    PutText(caption, 1, 30, "b", 0x39);
    PutText(caption, 1, 31, "c", 0x7C);
    PutText(caption, 2, 0, "next row");
    const Caption before = caption;
    EXPECT_EQ(DeleteCharacter(caption, 0, 1), -1);   // would close the gap before "z"
    EXPECT_EQ(DeleteCharacter(caption, 1, 30), -1);  // would pass column 31
    EXPECT_TRUE(caption.SameScreen(before));
}

TEST(DeleteCharacter, EmptyCellsAndOutsideColumnsAreRefused) {
    Caption caption;
    PutText(caption, 0, 0, "ab");
    const Caption before = caption;
    EXPECT_EQ(DeleteCharacter(caption, 0, 2), -1);
    EXPECT_EQ(DeleteCharacter(caption, 0, 32), -1);
    EXPECT_EQ(DeleteCharacter(caption, 0, -1), -1);
    EXPECT_EQ(DeleteCharacter(caption, 15, 0), -1);
    EXPECT_TRUE(caption.SameScreen(before));
}

}  // namespace
}  // namespace vantrel
