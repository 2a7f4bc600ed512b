// Row queries: run bounds, content end and the room test with its one-cell gap.
#include "editor/grid_queries.h"

#include <gtest/gtest.h>

#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::PutText;

class GridQueries : public ::testing::Test {
  protected:
    void SetUp() override {
        PutText(caption, 3, 2, "abc");    // columns 2-4
        PutText(caption, 3, 8, "xy");     // columns 8-9
        PutText(caption, 3, 30, "zz");    // columns 30-31
        caption.cells[5][6] = {0, 0x38};  // attribute byte alone: not empty for the queries
    }
    Caption caption;
};

TEST_F(GridQueries, RunStartWalksLeftOverNonEmptyCells) {
    EXPECT_EQ(RunStart(caption, 3, 5), 2);  // just after "abc"
    EXPECT_EQ(RunStart(caption, 3, 4), 2);
    EXPECT_EQ(RunStart(caption, 3, 2), 2);  // cell on the left is empty
    EXPECT_EQ(RunStart(caption, 3, 7), 7);
    EXPECT_EQ(RunStart(caption, 3, 32), 30);
    EXPECT_EQ(RunStart(caption, 3, 0), 0);
    EXPECT_EQ(RunStart(caption, 5, 7), 6);
}

TEST_F(GridQueries, RunEndFindsTheFirstEmptyCell) {
    EXPECT_EQ(RunEnd(caption, 3, 2), 5);
    EXPECT_EQ(RunEnd(caption, 3, 4), 5);
    EXPECT_EQ(RunEnd(caption, 3, 5), 5);
    EXPECT_EQ(RunEnd(caption, 3, 30), 32);
    EXPECT_EQ(RunEnd(caption, 3, 32), 32);
    EXPECT_EQ(RunEnd(caption, 5, 6), 7);
}

TEST_F(GridQueries, ContentEndIsOnePastTheLastCellOnTheLeft) {
    EXPECT_EQ(ContentEnd(caption, 3, 32), 32);
    EXPECT_EQ(ContentEnd(caption, 3, 29), 10);
    EXPECT_EQ(ContentEnd(caption, 3, 7), 5);
    EXPECT_EQ(ContentEnd(caption, 3, 2), 0);
    EXPECT_EQ(ContentEnd(caption, 4, 32), 0);
}

TEST_F(GridQueries, HasRoomKeepsAnEmptyCellOnEitherSide) {
    EXPECT_TRUE(HasRoom(caption, 3, 6, 0));     // between 5 and 7, both empty
    EXPECT_FALSE(HasRoom(caption, 3, 5, 1));    // touches "abc"
    EXPECT_TRUE(HasRoom(caption, 3, 6, 1));     // 6, with 5 and 7 empty
    EXPECT_FALSE(HasRoom(caption, 3, 6, 2));    // 6-7, but 8 holds "x"
    EXPECT_TRUE(HasRoom(caption, 3, 11, 18));   // 11-28, neighbours 10 and 29 empty
    EXPECT_FALSE(HasRoom(caption, 3, 11, 19));  // neighbour 30 taken
    EXPECT_TRUE(HasRoom(caption, 4, 0, 32));    // a whole empty row, edges count as empty
    EXPECT_FALSE(HasRoom(caption, 4, 1, 32));   // passes column 31
    EXPECT_FALSE(HasRoom(caption, 4, 33, 0));
    EXPECT_FALSE(HasRoom(caption, 5, 5, 1));  // the attribute-only cell is not empty
}

TEST_F(GridQueries, OutOfRangeAnswersZeroOrFalse) {
    for (int row : {-1, 15, 16}) {
        EXPECT_EQ(RunStart(caption, row, 5), 0);
        EXPECT_EQ(RunEnd(caption, row, 5), 0);
        EXPECT_EQ(ContentEnd(caption, row, 5), 0);
        EXPECT_FALSE(HasRoom(caption, row, 0, 1));
    }
    EXPECT_EQ(RunStart(caption, 3, 33), 0);
    EXPECT_EQ(RunEnd(caption, 3, -1), 0);
    EXPECT_EQ(ContentEnd(caption, 3, 40), 0);
    EXPECT_FALSE(HasRoom(caption, 4, -1, 1));
    EXPECT_FALSE(HasRoom(caption, 4, 3, -2));
}

}  // namespace
}  // namespace vantrel
