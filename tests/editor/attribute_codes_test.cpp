// The attribute-code cells of a run's start and of a change of attribute inside a run: the
// fewest codes that give the attribute, and that the code string renders them back cell for cell.
#include "editor/attribute_codes.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::FirstDifference;
using editor_test::RoundTrip;
using V = std::vector<CaptionCell>;

V Cells(const CodeCells& codes) {
    return {codes.cells, codes.cells + codes.count};
}

TEST(AttributeCodes, RunStartsAndChanges) {
    struct Case {
        int column;  // -1: a change inside a run from `from`
        uint8_t from;
        uint8_t to;
        V codes;
    };
    const Case cases[] = {
        {5, 0, 0x39, {{0x19, 0x38}}},  // colour needs a code from column 4
        {4, 0, 0x3E, {{0x1E, 0x38}}},
        {3, 0, 0x39, {}},  // the preamble carries green
        {0, 0, 0x38, {}},
        {9, 0, 0x38, {}},
        {2, 0, 0x78, {}},  // white italics has a preamble of its own
        {2, 0, 0xF8, {}},
        {8, 0, 0x78, {{0x0C, 0x38}}},
        {1, 0, 0x79, {{0x0C, 0x39}}},  // the preamble gives the colour, a code italics
        {0, 0, 0x3F, {{0x1F, 0x38}}},  // black always needs its code
        {0, 0, 0xFF, {{0x1F, 0xB8}, {0x0C, 0xBF}}},  // underline stays on the codes
        {6, 0, 0x7C, {{0x1C, 0x38}, {0x0C, 0x3C}}},
        {-1, 0x38, 0x38, {}},
        {-1, 0x38, 0x10, {}},  // background alone
        {-1, 0x38, 0x78, {{0x0C, 0x38}}},
        {-1, 0x78, 0xF8, {{0x0C, 0x78}}},
        {-1, 0x38, 0x39, {{0x19, 0x38}}},
        {-1, 0x78, 0x38, {{0x18, 0x78}}},
        {-1, 0x38, 0xB8, {{0x18, 0x38}}},
        {-1, 0xB9, 0x7C, {{0x1C, 0xB9}, {0x0C, 0x3C}}},
        {-1, 0x11, 0x7C, {{0x1C, 0x11}, {0x0C, 0x14}}},  // italics keeps the background before
    };
    for (const Case& c : cases) {
        const V got = c.column >= 0 ? Cells(RunStartCodes(c.column, c.to))
                                    : Cells(TransitionCodes(c.from, c.to));
        EXPECT_EQ(got, c.codes) << c.column << " " << int(c.from) << " " << int(c.to);
    }
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
    for (int column : {0, 1, 3, 4, 6, 26}) {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                const Caption caption = TwoCharacterRun(column, uint8_t(first), uint8_t(second));
                ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "")
                    << "column " << column << " attributes " << first << ", " << second;
            }
        }
    }
}

// A run coded for column 4 or later keeps its codes when it moves left of column 4: they must
// render back unchanged there too.
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
