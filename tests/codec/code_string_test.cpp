// The code string: building one from a screen, rendering one onto a screen, and its notation.
// Random editor screens come back through the encoder's round trip, which builds and renders
// their code strings on the way.
#include "codec/code_string.h"

#include <gtest/gtest.h>

#include <random>

#include "support/random_screen.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using testing::FirstDifference;
using testing::MakeCaption;
using testing::Screen;

Caption Render(const CodeString& code) {
    Caption c;
    LoadCodeString(c, code);
    return c;
}

// Screen and code string: the string built from the screen, and the screen it renders; strings
// the editor never builds, as other programs send them, are only rendered.
TEST(CodeString, BuildAndRenderTable) {
    struct Case {
        Screen screen;
        CodeString code;
        bool built = true;
    };
    const std::string row = std::string("\x81\x10") + "abcdefghijklmnopqrstuvwxyz012345678";
    // clang-format off
    const Case cases[] = {
        {{}, {0x02, 0xFE, 0x06}},
        {{{14, 0, "HI"}}, {0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x06}},
        {{{14, 6, "HI"}}, {0x02, 0xFE, 0x8F, 0x11, 0x0A, 0x48, 0x49, 0x06}},  // indent 4, tab 2
        {{{14, 8, "\x1C"}, {14, 9, "A", 0x3C}}, {0x02, 0xFE, 0x8F, 0x12, 0x1C, 0x41, 0x06}},
        {{{14, 0, "G", 0x39}}, {0x02, 0xFE, 0x8F, 0x19, 'G', 0x06}},
        {{{14, 0, "G", 0xB9}}, {0x02, 0xFE, 0x8F, 0x19, 0x0E, 'G', 0x06}},
        // Plain to italics of the same colour is one italics code, underline after it.
        {{{0, 0, "A"}, {0, 1, "\x0C"}, {0, 2, "B", 0xF8}}, {0x02, 0xFE, 0x81, 0x10, 'A', 0x0C, 0x0E, 'B', 0x06}},
        {{{3, 0, "A", 0x78}, {3, 1, "\x0C", 0x78}, {3, 2, "B", 0xF8}}, {0x02, 0xFE, 0x84, 0x0F, 'A', 0x0C, 0x0E, 'B', 0x06}},
        {{{14, 0, "A"}}, {0x8F, 'A', 0x10, 'B', 'C'}, false},  // an attribute byte out of place ends it
        {{{0, 0, "\x0C"}, {0, 1, "A", 0x78}}, {0x81, 0x10, 0x0C, 0x1C, 0x41}, false},
        {{{1, 11, "X", 0xB8}}, {0x82, 0x12, 0x0E, 0x0B, 'X'}, false},  // indent 8, underline, tab 3
        {{{2, 0, "a", 0x78}, {2, 1, "bcd", 0x50}}, {0x83, 0x0F, 'a', 0xD0, 0x1A, 'b', 'c', 'd'}, false},
        {{{2, 0, "a"}}, {0x83, 0x10, 'a', 'b', 0x83, 0x10, 0x09, 0x01}, false},  // tab 1, delete to end of row
        {{{3, 0, "ab"}}, {0x84, 0x10, 'a', 0xD0, 'b', 'c'}, false},  // a background without its colour
        {{{0, 0, "abcdefghijklmnopqrstuvwxyz012345"}}, {row.begin(), row.end()}, false},  // the row ends at column 31
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.code));
        const Caption screen = MakeCaption(c.screen);
        if (c.built) {
            EXPECT_EQ(BuildCodeString(screen), c.code);
        }
        EXPECT_EQ(FirstDifference(Render(c.code), screen), "");
    }
    Caption invalid = MakeCaption({{14, 0, "HI"}});
    invalid.screenValid = 0;
    EXPECT_TRUE(BuildCodeString(invalid).empty());
}

TEST(CodeString, IsCutAtTheCapacity) {
    std::mt19937 rng(7);
    Caption c;
    testing::RandomScreen(rng, c, {.maxRows = 15, .backgrounds = true, .attributeChange = 0.3});
    const CodeString full = BuildCodeString(c);
    ASSERT_GT(full.size(), 100u);
    for (size_t capacity = 0; capacity <= full.size() + 2; ++capacity) {
        const size_t n = capacity < 2 ? 0 : std::min(capacity, full.size());
        ASSERT_EQ(BuildCodeString(c, capacity),
                  CodeString(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n)))
            << "capacity " << capacity;
    }
}

TEST(CodeString, RandomBytesStayInsideTheScreen) {
    std::mt19937 rng(3);
    for (int i = 0; i < 20000; ++i) {
        CodeString junk(rng() % 300);
        for (uint8_t& b : junk) b = static_cast<uint8_t>(rng() % 4 ? rng() : 0x81 + rng() % 16);
        Caption c;
        c.loadFrames = 5;
        LoadCodeString(c, junk);
        for (const CaptionCell& cell : c.cells[15]) ASSERT_TRUE(cell.IsEmpty());
        ASSERT_EQ(c.screenValid, 1);
        ASSERT_EQ(c.loadFrames, junk.empty() ? 5 : -1);
    }
}

TEST(FormatMnemonics, Table) {
    struct Case {
        CodeString code;
        std::optional<std::string> text;
    };
    const Case cases[] = {
        {{0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x21, 0x06}, "{RCL}{ENM}{1500}HI!_{EOC}"},
        {{0x02, 0xFE, 0x8F, 0x12, 0x1C, 0x41, 0x06}, "{RCL}{ENM}{1508}{R}A_{EOC}"},
        // Underlined preamble, equal codes with the filler between them, extended characters.
        {{0x81, 0x19, 0x0E, 0x90, 0x90, 0xC9, 'x', 0xC9}, "{01GrU}{note}__{note}E_{\xC9}xE{\xC9}"},
        {{0xD0, 0x1A, 0xF0}, "{BBlS}"},
        {{}, std::nullopt},
        {{0x81, 'A'}, std::nullopt},  // a row without its attribute
        {{0x02, 0x81}, std::nullopt},
        {{0xD0, 0x81, 0x10}, std::nullopt},
        {{'A', 0x0E}, std::nullopt},  // a modifier after text
        {{0x81, 0x0E}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatMnemonics(c.code), c.text) << ::testing::PrintToString(c.code);
    }
}

}  // namespace
}  // namespace vantrel
