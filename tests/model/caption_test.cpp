// The caption record: defaults, occupied rows and lower case (its texts: tests/files).
#include "model/caption.h"

#include <gtest/gtest.h>

#include <string>

namespace vantrel {
namespace {

void PutText(Caption& c, int row, int col, const std::string& text, uint8_t attr = 0x38) {
    for (char ch : text) c.cells[row][col++] = {static_cast<uint8_t>(ch), attr};
}

TEST(CaptionRecord, Defaults) {
    Caption c;
    EXPECT_EQ(c.startFrame, 0);
    EXPECT_EQ(c.endFrame, -1);
    EXPECT_EQ(c.timingMode, Normal);
    EXPECT_EQ(c.screenValid, 1);
    EXPECT_EQ(c.loadFrames, -1);
    EXPECT_EQ(c.CountOccupiedRows(), 0);
}

TEST(CaptionRecord, OccupiedRowsCountAttributeOnlyCells) {
    Caption c;
    c.cells[3][7].attribute = 0x38;  // character 0, attribute set
    PutText(c, 14, 0, "X");
    c.cells[15][0] = {'Z', 0x38};  // storage row is not a caption row
    EXPECT_EQ(c.CountOccupiedRows(), 2);
}

TEST(CaptionText, LowerCaseChar) {
    EXPECT_EQ(LowerCaseChar('A'), 'a');
    EXPECT_EQ(LowerCaseChar('Z'), 'z');
    EXPECT_EQ(LowerCaseChar('a'), 'a');
    EXPECT_EQ(LowerCaseChar(0xC9), 0xE9);
    EXPECT_EQ(LowerCaseChar(0xDC), 0xFC);
    for (uint8_t keep : {0xC6, 0xD0, 0xD7, 0xDD, 0xDE, 0xE0, 0xFF, 0x40, 0x5B}) {
        EXPECT_EQ(LowerCaseChar(keep), keep) << int(keep);
    }
}

}  // namespace
}  // namespace vantrel
