// The attribute-code cells of a run's start and of a change of attribute inside a run: their
// values, and that the code string renders them back cell for cell.
#include "editor/attribute_codes.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::FirstDifference;
using editor_test::RoundTrip;

std::vector<CaptionCell> Cells(const CodeCells& codes) {
    return {codes.cells, codes.cells + codes.count};
}

using V = std::vector<CaptionCell>;

TEST(RunStartCodes, ColourNeedsACodeFromColumnFour) {
    EXPECT_EQ(Cells(RunStartCodes(5, 0x39)), (V{{0x19, 0x38}}));
    EXPECT_EQ(Cells(RunStartCodes(4, 0x3E)), (V{{0x1E, 0x38}}));
    EXPECT_EQ(Cells(RunStartCodes(3, 0x39)), V{});  // the preamble carries green
    EXPECT_EQ(Cells(RunStartCodes(0, 0x38)), V{});
    EXPECT_EQ(Cells(RunStartCodes(9, 0x38)), V{});
}

TEST(RunStartCodes, WhiteItalicsNeedsNoCodeBeforeColumnFour) {
    EXPECT_EQ(Cells(RunStartCodes(2, 0x78)), V{});
    EXPECT_EQ(Cells(RunStartCodes(2, 0xF8)), V{});
    EXPECT_EQ(Cells(RunStartCodes(8, 0x78)), (V{{0x0C, 0x38}}));
    // Coloured italics before column 4: the preamble gives the colour, a code the italics.
    EXPECT_EQ(Cells(RunStartCodes(1, 0x79)), (V{{0x0C, 0x39}}));
}

TEST(RunStartCodes, BlackAlwaysNeedsItsCode) {
    EXPECT_EQ(Cells(RunStartCodes(0, 0x3F)), (V{{0x1F, 0x38}}));
    // Underline stays on the codes; italics and colour are what they switch on.
    EXPECT_EQ(Cells(RunStartCodes(0, 0xFF)), (V{{0x1F, 0xB8}, {0x0C, 0xBF}}));
    EXPECT_EQ(Cells(RunStartCodes(6, 0x7C)), (V{{0x1C, 0x38}, {0x0C, 0x3C}}));
}

TEST(TransitionCodes, ChangesOfAttribute) {
    EXPECT_EQ(Cells(TransitionCodes(0x38, 0x38)), V{});
    EXPECT_EQ(Cells(TransitionCodes(0x38, 0x10)), V{});  // background alone
    EXPECT_EQ(Cells(TransitionCodes(0x38, 0x78)), (V{{0x0C, 0x38}}));
    EXPECT_EQ(Cells(TransitionCodes(0x78, 0xF8)), (V{{0x0C, 0x78}}));
    EXPECT_EQ(Cells(TransitionCodes(0x38, 0x39)), (V{{0x19, 0x38}}));
    EXPECT_EQ(Cells(TransitionCodes(0x78, 0x38)), (V{{0x18, 0x78}}));
    EXPECT_EQ(Cells(TransitionCodes(0x38, 0xB8)), (V{{0x18, 0x38}}));
    EXPECT_EQ(Cells(TransitionCodes(0xB9, 0x7C)), (V{{0x1C, 0xB9}, {0x0C, 0x3C}}));
    // The italics code after a colour code keeps the background of the text before it.
    EXPECT_EQ(Cells(TransitionCodes(0x11, 0x7C)), (V{{0x1C, 0x11}, {0x0C, 0x14}}));
}

// A run "x" then "y" at `column`, coded as the editor codes it.
Caption TwoCharacterRun(int column, uint8_t first, uint8_t second) {
    Caption caption;
    CaptionCell* row = caption.cells[4];
    int c = column;
    for (const CaptionCell& cell : Cells(RunStartCodes(column, first))) row[c++] = cell;
    row[c++] = {'x', first};
    for (const CaptionCell& cell : Cells(TransitionCodes(first, second))) row[c++] = cell;
    row[c++] = {'y', second};
    return caption;
}

TEST(AttributeCodes, EveryRunStartAndChangeRendersBackFromTheCodeString) {
    for (int column : {0, 1, 3, 4, 6, 8, 26}) {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                const Caption caption = TwoCharacterRun(column, uint8_t(first), uint8_t(second));
                const std::string difference = FirstDifference(caption, RoundTrip(caption));
                ASSERT_EQ(difference, "")
                    << "column " << column << " attributes " << first << ", " << second;
            }
        }
    }
}

// A run coded for a start before column 4 and shifted to one at column 4 or later carries
// the codes of its new place; a run coded for column 4 or later keeps its codes when it moves
// left. Both forms must render back unchanged wherever they stand.
TEST(AttributeCodes, CodesForColumnFourRenderBackBeforeColumnFourToo) {
    for (int column : {0, 1, 2, 3}) {
        for (int attribute = 0; attribute < 256; ++attribute) {
            Caption caption;
            int c = column;
            for (const CaptionCell& cell : Cells(RunStartCodes(4, uint8_t(attribute)))) {
                caption.cells[2][c++] = cell;
            }
            caption.cells[2][c] = {'z', uint8_t(attribute)};
            ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "")
                << "column " << column << " attribute " << attribute;
        }
    }
}

}  // namespace
}  // namespace vantrel
