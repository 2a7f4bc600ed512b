// The code string: rendering onto a screen, building from a screen, and the notation.
#include "codec/code_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "support/random_screen.h"

namespace vantrel {
namespace {

CodeString Bytes(std::initializer_list<int> list) {
    CodeString out;
    for (int b : list) out.push_back(static_cast<uint8_t>(b));
    return out;
}

Caption Render(const CodeString& code) {
    Caption c;
    LoadCodeString(c, code);
    return c;
}

void PutText(Caption& c, int row, int col, const char* text, uint8_t attr = 0x38) {
    for (; *text; ++text) c.cells[row][col++] = {static_cast<uint8_t>(*text), attr};
}

::testing::AssertionResult SameCells(const Caption& want, const Caption& got) {
    for (int r = 0; r < kGridRows; ++r) {
        for (int col = 0; col < kScreenColumns; ++col) {
            const CaptionCell& a = want.cells[r][col];
            const CaptionCell& b = got.cells[r][col];
            if (!(a == b)) {
                return ::testing::AssertionFailure()
                       << "cell (" << r << ", " << col << "): want " << int(a.character) << "/"
                       << int(a.attribute) << ", got " << int(b.character) << "/"
                       << int(b.attribute);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(BuildCodeString, WorkedExamples) {
    Caption empty;
    EXPECT_EQ(BuildCodeString(empty), Bytes({0x02, 0xFE, 0x06}));
    EXPECT_TRUE(SameCells(empty, Render(BuildCodeString(empty))));

    Caption hi;
    PutText(hi, 14, 0, "HI");
    EXPECT_EQ(BuildCodeString(hi), Bytes({0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x06}));

    Caption hi6;
    PutText(hi6, 14, 6, "HI");
    EXPECT_EQ(BuildCodeString(hi6), Bytes({0x02, 0xFE, 0x8F, 0x11, 0x0A, 0x48, 0x49, 0x06}));

    Caption red;
    red.cells[14][8] = {0x1C, 0x38};
    red.cells[14][9] = {'A', 0x3C};
    EXPECT_EQ(BuildCodeString(red), Bytes({0x02, 0xFE, 0x8F, 0x12, 0x1C, 0x41, 0x06}));
    EXPECT_TRUE(SameCells(red, Render(BuildCodeString(red))));

    Caption green;
    PutText(green, 14, 0, "G", 0x39);
    EXPECT_EQ(BuildCodeString(green), Bytes({0x02, 0xFE, 0x8F, 0x19, 'G', 0x06}));
    PutText(green, 14, 0, "G", 0xB9);
    EXPECT_EQ(BuildCodeString(green), Bytes({0x02, 0xFE, 0x8F, 0x19, 0x0E, 'G', 0x06}));

    Caption invalid = hi;
    invalid.screenValid = 0;
    EXPECT_TRUE(BuildCodeString(invalid).empty());
}

TEST(BuildCodeString, PlainToItalicOfTheSameColourIsOneItalicsCode) {
    // White plain "A", then one italics code cell, then italic underlined "B".
    Caption c;
    c.cells[0][0] = {'A', 0x38};
    c.cells[0][1] = {0x0C, 0x38};
    c.cells[0][2] = {'B', 0xF8};
    EXPECT_EQ(BuildCodeString(c), Bytes({0x02, 0xFE, 0x81, 0x10, 'A', 0x0C, 0x0E, 'B', 0x06}));
    EXPECT_TRUE(SameCells(c, Render(BuildCodeString(c))));
}

TEST(BuildCodeString, ItalicToItalicWithUnderlineChangeRendersBackUnchanged) {
    for (uint8_t from : {0x78, 0xF8}) {
        Caption c;
        c.cells[3][0] = {'A', from};  // white italics needs no code before column 4
        c.cells[3][1] = {0x0C, from};
        c.cells[3][2] = {'B', static_cast<uint8_t>(from ^ 0x80)};
        const Caption once = Render(BuildCodeString(c));
        EXPECT_TRUE(SameCells(c, once)) << int(from);
        EXPECT_EQ(BuildCodeString(once), BuildCodeString(c));
    }
}

TEST(BuildCodeString, RandomEditorScreensRenderBackCellForCell) {
    std::mt19937 rng(42);
    for (int i = 0; i < 3000; ++i) {
        Caption c;
        testing::RandomScreen(rng, c);
        const CodeString code = BuildCodeString(c);
        ASSERT_TRUE(SameCells(c, Render(code))) << "screen " << i;
    }
}

TEST(BuildCodeString, NeverWritesPastCapacity) {
    std::mt19937 rng(7);
    Caption c;
    testing::RandomScreen(rng, c, {.maxRows = 15, .backgrounds = true, .attributeChange = 0.3});
    const CodeString full = BuildCodeString(c);
    ASSERT_GT(full.size(), 100u);
    for (size_t capacity = 0; capacity <= full.size() + 2; ++capacity) {
        std::vector<uint8_t> buf(capacity + 1 + 16, 0xA5);
        const size_t n = BuildCodeString(c, buf.data(), capacity);
        for (size_t k = capacity + 1; k < buf.size(); ++k) {
            ASSERT_EQ(buf[k], 0xA5) << "capacity " << capacity << " wrote at " << k;
        }
        ASSERT_LE(n, capacity);
        ASSERT_EQ(buf[n], 0);
        if (capacity >= 2) {
            ASSERT_EQ(0, std::memcmp(buf.data(), full.data(), std::min(n, full.size())));
            ASSERT_EQ(n, std::min(capacity, full.size()));
        }
    }
}

TEST(LoadCodeString, WorkedExamples) {
    Caption a = Render(Bytes({0x8F, 'A', 0x10, 'B', 'C'}));
    EXPECT_EQ(a.cells[14][0], (CaptionCell{'A', 0x38}));
    EXPECT_EQ(a.CountOccupiedRows(), 1);
    EXPECT_TRUE(a.cells[14][1].IsEmpty());

    CodeString long_row = Bytes({0x81, 0x10});
    for (int i = 0; i < 40; ++i) long_row.push_back(static_cast<uint8_t>('a' + i % 26));
    Caption full = Render(long_row);
    for (int col = 0; col < 32; ++col) EXPECT_EQ(full.cells[0][col].character, 'a' + col % 26);

    Caption italic = Render(Bytes({0x81, 0x10, 0x0C, 0x1C, 0x41}));
    EXPECT_EQ(italic.cells[0][0], (CaptionCell{0x0C, 0x38}));
    EXPECT_EQ(italic.cells[0][1], (CaptionCell{'A', 0x78}));

    Caption red = Render(Bytes({0x81, 0x10, 0x1C, 0x41}));
    EXPECT_EQ(red.cells[0][0], (CaptionCell{0x1C, 0x38}));
    EXPECT_EQ(red.cells[0][1], (CaptionCell{'A', 0x3C}));
}

TEST(LoadCodeString, PreamblesTabsBackgroundsAndDeleteToEndOfRow) {
    // Row 2, indent 8, underline, tab 3: text from column 11, underlined.
    Caption c = Render(Bytes({0x82, 0x12, 0x0E, 0x0B, 'X'}));
    EXPECT_EQ(c.cells[1][11], (CaptionCell{'X', 0xB8}));
    // White italic preamble; blue background.
    Caption d = Render(Bytes({0x83, 0x0F, 'a', 0xD0, 0x1A, 'b', 'c', 'd'}));
    EXPECT_EQ(d.cells[2][0], (CaptionCell{'a', 0x78}));
    EXPECT_EQ(d.cells[2][1], (CaptionCell{'b', 0x50}));
    // Back to column 1 of the row, then delete to the end of the row.
    LoadCodeString(d, Bytes({0x83, 0x10, 0x09, 0x01}));
    EXPECT_EQ(d.cells[2][0].character, 'a');
    EXPECT_EQ(d.CountOccupiedRows(), 1);
    EXPECT_TRUE(d.cells[2][1].IsEmpty());
    // A background prefix without its colour ends the rendering after the next byte.
    Caption e = Render(Bytes({0x84, 0x10, 'a', 0xD0, 'b', 'c'}));
    EXPECT_EQ(e.cells[3][1].character, 'b');
    EXPECT_TRUE(e.cells[3][2].IsEmpty());
}

TEST(LoadCodeString, RandomBytesStayInsideTheScreen) {
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        CodeString junk(rng() % 300);
        for (uint8_t& b : junk) b = static_cast<uint8_t>(rng() % 4 ? rng() : 0x81 + rng() % 16);
        Caption c;
        c.loadFrames = 5;
        LoadCodeString(c, junk);
        for (const CaptionCell& cell : c.cells[15]) ASSERT_TRUE(cell.IsEmpty());
        ASSERT_EQ(c.screenValid, 1);
        if (!junk.empty()) {
            ASSERT_EQ(c.loadFrames, -1);
        }
    }
}

TEST(FormatMnemonics, WorkedExamples) {
    EXPECT_EQ(FormatMnemonics(Bytes({0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x21, 0x06})),
              "{RCL}{ENM}{1500}HI!_{EOC}");
    EXPECT_EQ(FormatMnemonics(Bytes({0x02, 0xFE, 0x8F, 0x12, 0x1C, 0x41, 0x06})),
              "{RCL}{ENM}{1508}{R}A_{EOC}");
    // Underlined preamble, equal codes separated by the filler pair, an extended character.
    EXPECT_EQ(FormatMnemonics(Bytes({0x81, 0x19, 0x0E, 0x90, 0x90, 0xC9, 'x', 0xC9})),
              "{01GrU}{note}__{note}E_{\xC9}xE{\xC9}");
}

TEST(FormatMnemonics, RejectsMalformedStrings) {
    EXPECT_FALSE(FormatMnemonics(CodeString{}).has_value());
    EXPECT_FALSE(FormatMnemonics(Bytes({0x81, 'A'})).has_value());   // row without attribute
    EXPECT_FALSE(FormatMnemonics(Bytes({0x02, 0x81})).has_value());  // ends after a row byte
    EXPECT_FALSE(FormatMnemonics(Bytes({0xD0, 0x81, 0x10})).has_value());
    EXPECT_FALSE(FormatMnemonics(Bytes({'A', 0x0E})).has_value());  // modifier after text
    EXPECT_FALSE(FormatMnemonics(Bytes({0x81, 0x0E})).has_value());
    EXPECT_TRUE(FormatMnemonics(Bytes({0xD0, 0x1A, 0xF0})).has_value());
}

TEST(FormatMnemonics, EveryBuiltScreenHasANotation) {
    std::mt19937 rng(11);
    for (int i = 0; i < 500; ++i) {
        Caption c;
        testing::RandomScreen(rng, c);
        ASSERT_TRUE(GetCodeText(c).has_value()) << i;
    }
}

}  // namespace
}  // namespace vantrel
