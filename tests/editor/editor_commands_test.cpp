// The editing commands as a table: the screen and caret before, the command, the screen and
// caret after. Every change must render back from its own code string; a refusal beeps once and
// changes nothing; a move that cannot be made does nothing at all, and nor does any command when
// nothing is being edited.
#include <gtest/gtest.h>

#include <string>

#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/typing_attribute.h"
#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::FirstDifference;
using editor_test::MakeCaption;
using editor_test::RoundTrip;
using editor_test::Screen;
using editor_test::Snapshot;

using Command = void (*)(EditingContext&, EditorView&);

// A character typed in an attribute chosen for it alone.
template <uint8_t Character, uint8_t Attribute = kDefaultAttribute>
void Type(EditingContext& context, EditorView& view) {
    const uint8_t chosen = context.typingAttribute;
    context.typingAttribute = Attribute;
    if (!TypeCharacter(context, view, Character)) context.typingAttribute = chosen;
}
// A key typed with the attribute at hand.
template <uint8_t Character>
void Key(EditingContext& context, EditorView& view) {
    TypeCharacter(context, view, Character);
}
template <int Columns>
void Shift(EditingContext& context, EditorView& view) {
    ShiftRun(context, view, Columns);
}
void Underline(EditingContext& context, EditorView&) {
    ToggleUnderline(context);
}

enum Outcome {
    Edit,     // the screen becomes `after`
    Move,     // only the caret moves
    Refuse,   // one beep, nothing changes
    Nothing,  // no sound, no change
};

struct Caret {
    int row;
    int column;
};

struct Case {
    const char* what;
    Screen before;
    Caret caret;
    Command command;
    Screen after;  // for Edit
    Caret caretAfter;
    Outcome outcome;
    int attributeAfter = -1;  // the typing attribute after, when it matters
};

// Every command starts with a typing attribute toggled by hand, which a command that does
// nothing must keep.
constexpr uint8_t kToggled = 0xF9;
const std::string k27 = "012345678901234567890123456";

// clang-format off
const Case kCases[] = {
    // Caret movement and the attribute it picks up.
    {"left takes the attribute on the left", {{3, 0, "abcd", 0x3C}}, {3, 5}, CaretLeft, {}, {3, 4}, Move, 0x3C},
    {"up onto nothing takes white", {{3, 0, "abcd", 0x3C}}, {3, 4}, CaretUp, {}, {2, 4}, Move, 0x38},
    {"down", {{3, 0, "abcd"}}, {3, 4}, CaretDown, {}, {4, 4}, Move},
    {"right onto a code: the code's attribute", {{0, 4, "\x1C"}, {0, 5, "r", 0x3C}}, {0, 3}, CaretRight, {}, {0, 4}, Move, 0x38},
    {"a code on the left: the cell at the caret", {{0, 4, "\x1C"}, {0, 5, "r", 0x3C}}, {0, 4}, CaretRight, {}, {0, 5}, Move, 0x3C},
    {"red on the left", {{0, 4, "\x1C"}, {0, 5, "r", 0x3C}}, {0, 5}, CaretRight, {}, {0, 6}, Move, 0x3C},
    {"empty on the left, underlined green at the caret", {{0, 10, "u", 0xB9}}, {0, 11}, CaretLeft, {}, {0, 10}, Move, 0xB9},
    {"nothing either side", {{0, 10, "u", 0xB9}}, {0, 9}, CaretLeft, {}, {0, 8}, Move, 0x38},
    {"after the last column", {{1, 31, "z", 0x3D}}, {1, 31}, CaretRight, {}, {1, 32}, Move, 0x3D},
    {"left edge", {{2, 6, "word"}}, {7, 0}, CaretLeft, {}, {7, 0}, Nothing},
    {"right edge", {{2, 6, "word"}}, {7, 32}, CaretRight, {}, {7, 32}, Nothing},
    {"top edge", {{2, 6, "word"}}, {0, 9}, CaretUp, {}, {0, 9}, Nothing},
    {"bottom edge", {{2, 6, "word"}}, {14, 9}, CaretDown, {}, {14, 9}, Nothing},
    {"run home at column 0", {{2, 6, "word"}}, {2, 0}, CaretToRunStart, {}, {2, 0}, Nothing},
    {"run home at the run start", {{2, 6, "word"}}, {2, 6}, CaretToRunStart, {}, {2, 6}, Nothing},
    {"run end at column 32", {{2, 6, "word"}}, {2, 32}, CaretToRunEnd, {}, {2, 32}, Nothing},
    {"run end off any run", {{2, 6, "word"}}, {2, 4}, CaretToRunEnd, {}, {2, 4}, Nothing},
    {"word left at column 0", {{2, 6, "word"}}, {2, 0}, WordLeft, {}, {2, 0}, Nothing},
    {"word right at column 32", {{2, 6, "word"}}, {2, 32}, WordRight, {}, {2, 32}, Nothing},
    {"word right before an empty cell", {{2, 6, "word"}}, {2, 4}, WordRight, {}, {2, 4}, Nothing},
    {"word left at a run start", {{2, 6, "word"}}, {2, 6}, WordLeft, {}, {2, 6}, Nothing},
    {"screen home, empty screen", {}, {6, 6}, ScreenHome, {}, {6, 6}, Nothing},
    {"screen end, empty screen", {}, {6, 6}, ScreenEnd, {}, {6, 6}, Nothing},
    {"screen home", {{4, 10, "first"}, {4, 20, "x"}, {9, 3, "last", 0x3A}}, {0, 0}, ScreenHome, {}, {4, 10}, Move},
    {"screen end", {{4, 10, "first"}, {4, 20, "x"}, {9, 3, "last", 0x3A}}, {0, 0}, ScreenEnd, {}, {9, 7}, Move, 0x3A},
    {"run home", {{1, 5, "abcdef"}, {1, 12, "gh"}}, {1, 8}, CaretToRunStart, {}, {1, 5}, Move},
    {"run end stops at the empty cell", {{1, 5, "abcdef"}, {1, 12, "gh"}}, {1, 8}, CaretToRunEnd, {}, {1, 11}, Move},
    {"word right over a space", {{0, 0, "ab cd"}, {0, 5, "\x19"}, {0, 6, "ef ", 0x39}}, {0, 0}, WordRight, {}, {0, 3}, Move},
    {"word right over a word and a code", {{0, 0, "ab cd"}, {0, 5, "\x19"}, {0, 6, "ef ", 0x39}}, {0, 3}, WordRight, {}, {0, 6}, Move},
    {"word right to the empty cell", {{0, 0, "ab cd"}, {0, 5, "\x19"}, {0, 6, "ef ", 0x39}}, {0, 6}, WordRight, {}, {0, 9}, Move},
    {"word left", {{0, 0, "ab cd"}, {0, 5, "\x19"}, {0, 6, "ef ", 0x39}}, {0, 9}, WordLeft, {}, {0, 6}, Move},
    {"word left over a code", {{0, 0, "ab cd"}, {0, 5, "\x19"}, {0, 6, "ef ", 0x39}}, {0, 6}, WordLeft, {}, {0, 3}, Move},
    {"word left to the run start", {{0, 0, "ab cd"}, {0, 5, "\x19"}, {0, 6, "ef ", 0x39}}, {0, 3}, WordLeft, {}, {0, 0}, Move},
    {"italics toggles one bit", {}, {0, 0}, ToggleItalics, {}, {0, 0}, Move, kToggled ^ 0x40},
    {"underline toggles one bit", {}, {0, 0}, Underline, {}, {0, 0}, Nothing, kToggled ^ 0x80},

    // Typing: the codes written around a character, the gap kept between runs.
    {"first character", {}, {0, 0}, Type<'a'>, {{0, 0, "a"}}, {0, 1}, Edit},
    {"green from column 4 opens with a code", {}, {3, 5}, Type<'g', 0x39>, {{3, 5, "\x19"}, {3, 6, "g", 0x39}}, {3, 7}, Edit},
    {"white italics before column 4: no code", {}, {1, 2}, Type<'i', 0x78>, {{1, 2, "i", 0x78}}, {1, 3}, Edit},
    {"white italics from column 4: a code", {}, {2, 8}, Type<'i', 0x78>, {{2, 8, "\x0C"}, {2, 9, "i", 0x78}}, {2, 10}, Edit},
    {"a change of colour inside a run", {{0, 0, "ab"}}, {0, 1}, Type<'G', 0x39>,
     {{0, 0, "a"}, {0, 1, "\x19"}, {0, 2, "G", 0x39}, {0, 3, "\x18", 0x39}, {0, 4, "b"}}, {0, 3}, Edit},
    {"white before a run's codes rewrites them", {{0, 6, "\x19"}, {0, 7, "g", 0x39}}, {0, 6}, Type<'w'>,
     {{0, 6, "w"}, {0, 7, "\x19"}, {0, 8, "g", 0x39}}, {0, 7}, Edit},
    {"green after a code joins the green text", {{0, 6, "w"}, {0, 7, "\x19"}, {0, 8, "g", 0x39}}, {0, 8}, Type<'h', 0x39>,
     {{0, 6, "w"}, {0, 7, "\x19"}, {0, 8, "hg", 0x39}}, {0, 9}, Edit},
    {"codes that reach column 0", {{0, 0, "\x19"}, {0, 1, "g", 0x39}}, {0, 1}, Type<'w'>,
     {{0, 0, "w"}, {0, 1, "\x19"}, {0, 2, "g", 0x39}}, {0, 1}, Edit},
    {"one more character fits between runs", {{0, 20, "abcdefghi"}, {0, 31, "z"}}, {0, 25}, Type<'x'>,
     {{0, 20, "abcdexfghi"}, {0, 31, "z"}}, {0, 26}, Edit},
    {"white needs no code and fits the gap", {{0, 0, "abcd"}, {0, 6, "z"}}, {0, 4}, Type<'w'>, {{0, 0, "abcdw"}, {0, 6, "z"}}, {0, 5}, Edit},
    {"column 32", {{0, 28, "abcd"}}, {0, 32}, Key<'x'>, {}, {}, Refuse},
    {"a full row", {{0, 0, std::string(32, 'm')}}, {0, 5}, Key<'x'>, {}, {}, Refuse},
    {"no empty cell would stay between runs", {{0, 20, "abcdefghij"}, {0, 31, "z"}}, {0, 25}, Key<'x'>, {}, {}, Refuse},
    {"at the end of a run one cell short", {{0, 20, "abcdefghij"}, {0, 31, "z"}}, {0, 30}, Key<'x'>, {}, {}, Refuse},
    {"the codes of green italics would close the gap", {{0, 0, "abcd"}, {0, 6, "z"}}, {0, 4}, Key<'g'>, {}, {}, Refuse},
    {"an attribute code is not typed", {}, {0, 0}, Key<0x0C>, {}, {}, Refuse},
    {"0x80 is not typed", {}, {0, 0}, Key<0x80>, {}, {}, Refuse},
    {"0xD0 is not typed", {}, {0, 0}, Key<0xD0>, {}, {}, Refuse},
    {"0xFF is not typed", {}, {0, 0}, Key<0xFF>, {}, {}, Refuse},

    // Delete and Backspace.
    {"delete pulls the run start onto its code", {{0, 6, "w"}, {0, 7, "\x19"}, {0, 8, "gg", 0x39}}, {0, 6}, DeleteForward,
     {{0, 6, "\x19"}, {0, 7, "gg", 0x39}}, {0, 7}, Edit, 0x39},
    {"delete keeps the code between two colours", {{0, 6, "\x19"}, {0, 7, "gh", 0x39}, {0, 9, "\x18", 0x39}, {0, 10, "w"}}, {0, 8}, DeleteForward,
     {{0, 6, "\x19"}, {0, 7, "g", 0x39}, {0, 8, "\x18", 0x39}, {0, 9, "w"}}, {0, 9}, Edit},
    {"delete at a run start drops the codes", {{0, 6, "\x19"}, {0, 7, "g", 0x39}, {0, 8, "\x18", 0x39}, {0, 9, "w"}}, {0, 7}, DeleteForward,
     {{0, 6, "w"}}, {0, 6}, Edit},
    {"nothing to delete", {{0, 0, "abc"}}, {0, 3}, DeleteForward, {}, {}, Refuse},
    {"the codes would close the gap", {{0, 0, "a"}, {0, 1, "b", 0x39}, {0, 2, "c", 0x7C}, {0, 4, "z"}}, {0, 1}, DeleteForward, {}, {}, Refuse},
    {"the codes would pass column 31", {{1, 29, "a"}, {1, 30, "b", 0x39}, {1, 31, "c", 0x7C}}, {1, 30}, DeleteForward, {}, {}, Refuse},
    {"backspace", {{3, 0, "abcd"}}, {3, 3}, Backspace, {{3, 0, "abd"}}, {3, 2}, Edit},
    {"backspace joins to the row above", {{4, 0, "0123456789"}, {5, 12, "sixsix"}, {5, 20, "stay"}}, {5, 12}, Backspace,
     {{4, 0, "0123456789sixsix"}, {5, 20, "stay"}}, {4, 10}, Edit},
    {"a joined run takes the code of its change", {{0, 0, "plain"}, {1, 0, "green", 0x39}}, {1, 0}, Backspace,
     {{0, 0, "plain"}, {0, 5, "\x19"}, {0, 6, "green", 0x39}}, {0, 5}, Edit},
    {"a run that exactly fills the row above", {{5, 0, k27}, {6, 0, "abcde"}}, {6, 0}, Backspace, {{5, 0, k27 + "abcde"}}, {5, 27}, Edit},
    {"no row above", {{0, 0, "top"}}, {0, 0}, Backspace, {}, {}, Refuse},
    {"the row above is empty", {{6, 0, "text"}}, {6, 0}, Backspace, {}, {}, Refuse},
    {"the join does not fit", {{5, 0, k27 + "7"}, {6, 0, "12345"}}, {6, 0}, Backspace, {}, {}, Refuse},

    // New line.
    {"new line under the run start", {{2, 5, "one two"}}, {2, 9}, NewLine, {{2, 5, "one "}, {3, 5, "two"}}, {3, 5}, Edit},
    {"the moved text needs no code at column 0", {{0, 0, "ab "}, {0, 3, "\x1C"}, {0, 4, "red", 0x3C}}, {0, 3}, NewLine,
     {{0, 0, "ab "}, {1, 0, "red", 0x3C}}, {1, 0}, Edit},
    {"the moved text gets its code from column 4", {{0, 6, "ab "}, {0, 9, "\x1C"}, {0, 10, "red", 0x3C}}, {0, 10}, NewLine,
     {{0, 6, "ab "}, {1, 6, "\x1C"}, {1, 7, "red", 0x3C}}, {1, 6}, Edit},
    {"nothing after the caret: the caret moves", {{2, 5, "abc"}}, {2, 8}, NewLine, {{2, 5, "abc"}}, {3, 5}, Edit},
    {"no room on the next row", {{2, 5, "abc"}, {3, 7, "x"}}, {2, 6}, NewLine, {}, {}, Refuse},
    {"the last row", {{14, 0, "end"}}, {14, 1}, NewLine, {}, {14, 1}, Nothing},

    // Moving runs.
    {"shift right", {{4, 1, "word"}}, {4, 3}, Shift<4>, {{4, 5, "word"}}, {4, 7}, Edit},
    {"shift left", {{4, 5, "word"}}, {4, 7}, Shift<-5>, {{4, 0, "word"}}, {4, 2}, Edit},
    {"shift into the gap", {{4, 6, "ab"}, {4, 10, "text"}}, {4, 12}, Shift<-2>, {}, {}, Refuse},
    {"shift past the left neighbour", {{4, 6, "ab"}, {4, 10, "text"}}, {4, 12}, Shift<-3>, {}, {}, Refuse},
    {"shift past column 31", {{4, 6, "ab"}, {4, 10, "text"}}, {4, 10}, Shift<19>, {}, {}, Refuse},
    {"shift from just after the run", {{4, 6, "ab"}, {4, 10, "text"}}, {4, 14}, Shift<20>, {}, {}, Refuse},
    {"no run: the caret moves", {}, {0, 10}, Shift<4>, {}, {0, 14}, Move},
    {"no run: the caret would leave the row", {}, {0, 14}, Shift<19>, {}, {}, Refuse},
    {"no run: the caret would pass column 0", {}, {0, 14}, Shift<-15>, {}, {}, Refuse},
    {"green moved to column 4 gains its code", {{2, 0, "green", 0x39}}, {2, 2}, Shift<4>,
     {{2, 4, "\x19"}, {2, 5, "green", 0x39}}, {2, 7}, Edit},
    {"and keeps it back at column 0", {{2, 4, "\x19"}, {2, 5, "green", 0x39}}, {2, 7}, Shift<-4>,
     {{2, 0, "\x19"}, {2, 1, "green", 0x39}}, {2, 3}, Edit},
    {"the code the new place needs must fit", {{2, 0, std::string(28, 'g'), 0x39}}, {2, 0}, Shift<4>, {}, {}, Refuse},
    {"centre an even run", {{7, 0, "0123456789"}}, {7, 2}, CenterRun, {{7, 11, "0123456789"}}, {7, 13}, Edit},
    {"centre an odd run", {{8, 21, "0123456789a"}}, {8, 30}, CenterRun, {{8, 10, "0123456789a"}}, {8, 19}, Edit},
    {"centring counts the code gained", {{7, 0, "0123456789", 0x39}}, {7, 0}, CenterRun,
     {{7, 10, "\x19"}, {7, 11, "0123456789", 0x39}}, {7, 10}, Edit},
    {"run down pushes the run below", {{12, 0, "top"}, {13, 1, "mid"}}, {12, 3}, RunDown, {{13, 0, "top"}, {14, 1, "mid"}}, {13, 3}, Edit},
    {"run up", {{13, 0, "top"}, {14, 1, "mid"}}, {13, 3}, RunUp, {{12, 0, "top"}, {14, 1, "mid"}}, {12, 3}, Edit},
    {"run up leaves the other run", {{5, 4, "hello"}, {5, 12, "other"}}, {5, 6}, RunUp, {{4, 4, "hello"}, {5, 12, "other"}}, {4, 6}, Edit},
    {"pushing stacks like a stack", {{12, 0, "top"}, {13, 2, "middle"}, {14, 9, "far"}}, {12, 1}, RunDown,
     {{13, 0, "top"}, {14, 2, "middle"}, {14, 9, "far"}}, {13, 1}, Edit},
    {"a neighbour without a gap is pushed", {{3, 0, "ab"}, {4, 2, "cd"}}, {3, 0}, RunDown, {{4, 0, "ab"}, {5, 2, "cd"}}, {4, 0}, Edit},
    {"the bottom stops the stack", {{13, 0, "abc"}, {14, 2, "xyz"}}, {13, 1}, RunDown, {}, {}, Refuse},
    {"a push would need row 15", {{12, 2, "top"}, {13, 0, "abc"}, {14, 1, "xyz"}}, {12, 2}, RunDown, {}, {}, Refuse},
    {"the top", {{0, 0, "abc"}}, {0, 1}, RunUp, {}, {}, Refuse},
};
// clang-format on

TEST(EditorCommands, Table) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        EditingContext context = Editing(c.caret.row, c.caret.column);
        *context.editCopy = MakeCaption(c.before);
        context.editCopy->loadFrames = 1234;  // stands for a computed value
        context.typingAttribute = kToggled;
        const Snapshot before(context);
        CountingView view;
        c.command(context, view);
        const Caption& screen = *context.editCopy;
        switch (c.outcome) {
            case Refuse:
                EXPECT_TRUE(before == context);
                EXPECT_EQ(view.beeps, 1);
                EXPECT_EQ(view.Calls(), 1);
                break;
            case Nothing:
                EXPECT_EQ(view.Calls(), 0);
                EXPECT_EQ(FirstDifference(screen, before.caption), "");
                break;
            case Move:
                EXPECT_EQ(FirstDifference(screen, before.caption), "");
                EXPECT_EQ(screen.loadFrames, 1234);
                break;
            case Edit:
                EXPECT_EQ(FirstDifference(screen, MakeCaption(c.after)), "");
                EXPECT_EQ(FirstDifference(screen, RoundTrip(screen)), "");
                EXPECT_EQ(screen.loadFrames, -1) << "the loading time is stale";
                EXPECT_GE(view.shows, 1);
                break;
        }
        if (c.outcome != Refuse) {
            EXPECT_EQ(view.beeps, 0);
            EXPECT_EQ(context.caretRow, c.caretAfter.row);
            EXPECT_EQ(context.caretColumn, c.caretAfter.column);
            if (view.carets > 0) {
                EXPECT_EQ(view.caretRow, c.caretAfter.row);
                EXPECT_EQ(view.caretColumn, c.caretAfter.column);
            }
            if (c.attributeAfter >= 0) {
                EXPECT_EQ(context.typingAttribute, c.attributeAfter);
            } else if (c.outcome == Nothing) {
                EXPECT_EQ(context.typingAttribute, kToggled);
            }
        }
        // Without an edit copy, or with the caret off the screen, the command does nothing.
        for (const Caret caret : {Caret{-1, -1}, Caret{15, 0}, Caret{0, 33}, Caret{3, -1}}) {
            SCOPED_TRACE(::testing::Message() << "caret " << caret.row << "," << caret.column);
            context = Editing(caret.row, caret.column);
            *context.editCopy = MakeCaption(c.before);
            const Snapshot away(context);
            const bool editing = caret.row != -1;
            if (!editing) context.editCopy.reset();
            CountingView idle;
            c.command(context, idle);
            EXPECT_EQ(idle.Calls(), 0);
            ASSERT_EQ(context.editCopy != nullptr, editing);
            if (!editing) context.editCopy = std::make_unique<Caption>(away.caption);
            EXPECT_TRUE(away == context);
        }
    }
}

}  // namespace
}  // namespace vantrel
