// The attribute-code cells of a run's start and of a change of attribute inside a run: the
// fewest codes that give the attribute, that the code string renders them back cell for cell,
// and that every character typed in every attribute the editor types in does too.
#include "editor/attribute_codes.h"

#include <gtest/gtest.h>

#include <vector>

#include "editor/edit_commands.h"
#include "editor_fixtures.h"
#include "support/random_screen.h"

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

// A run "x" then "y" at `column`, its start coded as for `codedFor`.
Caption TwoCharacterRun(int column, int codedFor, uint8_t first, uint8_t second) {
    Caption caption;
    CaptionCell* row = caption.cells[4];
    int c = column;
    for (const CaptionCell& cell : Cells(RunStartCodes(codedFor, first))) row[c++] = cell;
    row[c++] = {'x', first};
    for (const CaptionCell& cell : Cells(TransitionCodes(first, second))) row[c++] = cell;
    row[c++] = {'y', second};
    return caption;
}

// Every run start and change renders back; so do the codes of a run coded for column 4 that
// moved left of column 4, as a run keeps its codes when it moves.
TEST(AttributeCodes, EveryRunStartAndChangeRendersBackFromTheCodeString) {
    for (int column : {0, 1, 2, 3, 4, 6, 26}) {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                for (int codedFor : {column, 4}) {
                    if (codedFor != column && second != first) continue;
                    const Caption caption =
                        TwoCharacterRun(column, codedFor, uint8_t(first), uint8_t(second));
                    ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "")
                        << "column " << column << " coded for " << codedFor << " attributes "
                        << first << ", " << second;
                }
            }
        }
    }
}

// The 32 attributes the editor types in: eight colours, italics, underline.
uint8_t TypingAttribute(int n) {
    return uint8_t(0x38 | (n & 7) | ((n & 8) << 3) | ((n & 16) << 3));
}

// Every caption character typed from a column, going to the next row at that column when a row
// is full, in one attribute throughout or with a change at every character, so that every
// character meets codes on both sides. Each screen holds the characters in the order and the
// attribute they were typed in, and renders back from its code string. The screens the codes
// make come back through 608 pairs in the encoder's round trip of random projects.
TEST(TypingRoundTrip, EveryCharacterInEveryAttribute) {
    const std::vector<uint8_t> all = testing::TypableCharacters();
    for (int column : {0, 2, 5}) {
        for (int change : {0, 7}) {
            for (int n = 0; n < 32; ++n) {
                SCOPED_TRACE(::testing::Message()
                             << "column " << column << " change " << change << " attribute " << n);
                EditingContext context = editor_test::Editing(0, column);
                editor_test::CountingView view;
                V typed;
                auto check = [&] {
                    size_t k = 0;
                    for (int r = 0; r < kScreenRows; ++r) {
                        for (const CaptionCell& cell : context.editCopy->cells[r]) {
                            if (cell.character < 0x20) continue;
                            ASSERT_LT(k, typed.size());
                            EXPECT_EQ(cell, typed[k++]);
                        }
                    }
                    EXPECT_EQ(k, typed.size());
                    ASSERT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "");
                };
                for (const uint8_t ch : all) {
                    const uint8_t attribute = TypingAttribute(int(n + change * typed.size()) % 32);
                    context.typingAttribute = attribute;
                    if (!TypeCharacter(context, view, ch)) {
                        if (context.caretRow == kScreenRows - 1) {
                            ASSERT_NO_FATAL_FAILURE(check());
                            context = editor_test::Editing(0, column);
                            typed.clear();
                        } else {
                            ++context.caretRow;
                            context.caretColumn = column;
                        }
                        context.typingAttribute = attribute;
                        ASSERT_TRUE(TypeCharacter(context, view, ch));
                    }
                    typed.push_back({ch, attribute});
                }
                ASSERT_NO_FATAL_FAILURE(check());
            }
        }
    }
}

}  // namespace
}  // namespace vantrel
