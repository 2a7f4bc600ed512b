// Moving runs up and down: same columns, pushing the runs in the way like a stack.
#include "editor/vertical_move.h"

#include <gtest/gtest.h>

#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::PutText;
using editor_test::Row;
using editor_test::RowText;

TEST(MoveRunVertically, MovesTheRunAtTheSameColumns) {
    Caption caption;
    PutText(caption, 5, 4, "hello");
    PutText(caption, 5, 12, "other");
    caption.loadFrames = 3;
    EXPECT_TRUE(MoveRunVertically(caption, 5, -1, 6, 6));
    EXPECT_EQ(RowText(caption, 4), Row(4, "hello"));
    EXPECT_EQ(RowText(caption, 5), Row(12, "other"));
    EXPECT_EQ(caption.loadFrames, -1);
}

TEST(MoveRunVertically, PushesBlockingRunsAheadLikeAStack) {
    Caption caption;
    PutText(caption, 12, 0, "top");
    PutText(caption, 13, 2, "middle");  // 2-7, overlaps "top"
    PutText(caption, 14, 9, "far");     // out of the way of "middle"
    EXPECT_TRUE(MoveRunVertically(caption, 12, 1, 1, 1));
    EXPECT_EQ(RowText(caption, 12), Row(0, ""));
    EXPECT_EQ(RowText(caption, 13), Row(0, "top"));
    EXPECT_EQ(RowText(caption, 14), Row(2, "middle.far"));
}

TEST(MoveRunVertically, ANeighbourWithoutAGapBlocksToo) {
    Caption caption;
    PutText(caption, 3, 0, "ab");  // 0-1
    PutText(caption, 4, 2, "cd");  // starts right after: no gap on row 4 if "ab" came down
    EXPECT_TRUE(MoveRunVertically(caption, 3, 1, 0, 0));
    EXPECT_EQ(RowText(caption, 4), Row(0, "ab"));
    EXPECT_EQ(RowText(caption, 5), Row(2, "cd"));
}

TEST(MoveRunVertically, TheScreenEdgeStopsTheStackAndNothingChanges) {
    Caption caption;
    PutText(caption, 13, 0, "abc");
    PutText(caption, 14, 1, "xyz");
    Caption before = caption;
    before.loadFrames = caption.loadFrames = 5;
    EXPECT_FALSE(MoveRunVertically(caption, 13, 1, 0, 0));
    EXPECT_TRUE(caption.SameScreen(before));
    EXPECT_EQ(caption.loadFrames, 5);

    PutText(caption, 12, 2, "top");
    before = caption;
    EXPECT_FALSE(MoveRunVertically(caption, 12, 1, 2, 2));  // would need row 15
    EXPECT_TRUE(caption.SameScreen(before));
    for (const CaptionCell& cell : caption.cells[15]) EXPECT_TRUE(cell.IsEmpty());
}

TEST(MoveRunVertically, BadArgumentsAreRefused) {
    Caption caption;
    PutText(caption, 0, 0, "a");
    PutText(caption, 14, 0, "z");
    EXPECT_FALSE(MoveRunVertically(caption, 0, -1, 0, 0));
    EXPECT_FALSE(MoveRunVertically(caption, 14, 1, 0, 0));
    EXPECT_FALSE(MoveRunVertically(caption, 5, 2, 0, 0));
    EXPECT_FALSE(MoveRunVertically(caption, 5, 0, 0, 0));
    EXPECT_FALSE(MoveRunVertically(caption, 15, -1, 0, 0));
    EXPECT_FALSE(MoveRunVertically(caption, 5, 1, 33, 33));
    EXPECT_FALSE(MoveRunVertically(caption, 5, 1, -1, 0));
    EXPECT_EQ(RowText(caption, 0), Row(0, "a"));
    EXPECT_EQ(RowText(caption, 14), Row(0, "z"));
}

}  // namespace
}  // namespace vantrel
