// The editor: the attribute-code cells of a run's start and of a change of attribute inside a
// run, typing every character in every attribute, the editing commands as a table, and long
// random editing sessions. Every screen an edit makes must render back from its own code string.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "codec/code_string.h"
#include "editor/attribute_codes.h"
#include "editor/caret_commands.h"
#include "editor/character_edit.h"
#include "editor/edit_commands.h"
#include "editor/editing_context.h"
#include "editor/editor_view.h"
#include "editor/run_commands.h"
#include "editor/selection_commands.h"
#include "editor/typing_attribute.h"
#include "model/caption.h"
#include "support/random_screen.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using testing::FirstDifference;
using testing::MakeCaption;
using testing::Screen;
using V = std::vector<CaptionCell>;

class CountingView : public EditorView {
  public:
    void Beep() override { ++beeps; }
    void PlaceCaret(int row, int column, uint8_t) override { MoveCaret(row, column); }
    void MoveCaret(int row, int column) override {
        ++carets;
        caret = {row, column};
    }
    void ShowCaption() override { ++shows; }
    int Calls() const { return beeps + carets + shows; }

    int beeps = 0, carets = 0, shows = 0;
    std::pair<int, int> caret;
};

EditingContext Editing(int row, int column) {
    return {std::make_unique<Caption>(), row, column, kDefaultAttribute, false};
}

// Everything a refused edit must leave as it was.
struct Snapshot {
    explicit Snapshot(const EditingContext& context)
        : caption(*context.editCopy), state(State(context)) {}
    static std::tuple<int, int, uint8_t> State(const EditingContext& context) {
        return {context.caretRow, context.caretColumn, context.typingAttribute};
    }
    bool operator==(const EditingContext& context) const {
        return caption.SameScreen(*context.editCopy) &&
               caption.loadFrames == context.editCopy->loadFrames && state == State(context);
    }

    Caption caption;
    std::tuple<int, int, uint8_t> state;
};

Caption RoundTrip(const Caption& caption) {
    Caption back;
    LoadCodeString(back, BuildCodeString(caption));
    return back;
}

// The attribute codes: the fewest that give an attribute, and that the code string renders them
// back cell for cell.
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

// A run "x" then "y" at a column, its start coded for that column or column 4, renders back:
// a run keeps its codes when it moves left of column 4.
TEST(AttributeCodes, EveryRunStartAndChangeRendersBackFromTheCodeString) {
    for (int column : {0, 1, 2, 3, 4, 6, 26}) {
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                for (int codedFor : {column, 4}) {
                    if (codedFor != column && second != first) continue;
                    Caption caption;
                    V run = Cells(RunStartCodes(codedFor, uint8_t(first)));
                    run.push_back({'x', uint8_t(first)});
                    for (CaptionCell cell : Cells(TransitionCodes(uint8_t(first), uint8_t(second))))
                        run.push_back(cell);
                    run.push_back({'y', uint8_t(second)});
                    std::copy(run.begin(), run.end(), caption.cells[4] + column);
                    ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "")
                        << "column " << column << " coded for " << codedFor << " attributes "
                        << first << ", " << second;
                }
            }
        }
    }
}

// Every caption character typed from a column, going to the next row at that column when a row
// is full, in one attribute throughout or with a change at every character, so that every
// character meets codes on both sides. Each screen holds the characters in the order and the
// attribute they were typed in, and renders back from its code string. Screens the codes make
// come back through 608 pairs in the caption-file round trips of random projects.
TEST(TypingRoundTrip, EveryCharacterInEveryAttribute) {
    const std::vector<uint8_t> all = testing::TypableCharacters();
    for (int column : {0, 2, 5}) {
        for (int change : {0, 7}) {
            for (int n = 0; n < 32; ++n) {
                SCOPED_TRACE(::testing::Message()
                             << "column " << column << " change " << change << " attribute " << n);
                EditingContext context = Editing(0, column);
                CountingView view;
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
                    // One of the 32 attributes typed in: eight colours, italics, underline.
                    const int a = int(n + change * typed.size()) % 32;
                    const uint8_t attribute = uint8_t(0x38 | (a & 7) | ((a & 24) << 3));
                    // The character alone, without the wrap of the typing command.
                    const auto type = [&] {
                        const int next = InsertCharacter(*context.editCopy, ch, context.caretRow,
                                                         context.caretColumn, attribute);
                        if (next != 0) context.caretColumn = next;
                        return next != 0;
                    };
                    if (!type()) {
                        if (context.caretRow == kScreenRows - 1) {
                            ASSERT_NO_FATAL_FAILURE(check());
                            context = Editing(0, column);
                            typed.clear();
                        } else {
                            ++context.caretRow;
                            context.caretColumn = column;
                        }
                        ASSERT_TRUE(type());
                    }
                    typed.push_back({ch, attribute});
                }
                ASSERT_NO_FATAL_FAILURE(check());
            }
        }
    }
}

// The editing commands as a table: the screen and caret before, the command, the screen and
// caret after. Every change must render back from its own code string; a refusal beeps once and
// changes nothing; a move that cannot be made does nothing at all, and nor does any command when
// nothing is being edited.
using Command = void (*)(EditingContext&, EditorView&);

// A character typed in an attribute chosen for it alone.
template <uint8_t Character, uint8_t Attribute = kDefaultAttribute>
void Type(EditingContext& context, EditorView& view) {
    const uint8_t chosen = context.typingAttribute;
    context.typingAttribute = Attribute;
    if (!TypeCharacter(context, view, Character)) context.typingAttribute = chosen;
}
template <int Columns>
void Shift(EditingContext& context, EditorView& view) {
    ShiftRun(context, view, Columns);
}
void Underline(EditingContext& context, EditorView&) {
    ToggleUnderline(context);
}
template <int Number>
void TypingColour(EditingContext& context, EditorView&) {
    SetTypingColour(context, Number);
}
// A selection from an anchor to the caret, and the commands on it.
template <int Row, int Column, Command Then>
void Selected(EditingContext& context, EditorView& view) {
    context.anchorRow = Row;
    context.anchorColumn = Column;
    Then(context, view);
}
template <int Number>
void Colour(EditingContext& context, EditorView& view) {
    ColourSelection(context, view, Number);
}
void Italicise(EditingContext& context, EditorView& view) {
    ToggleSelectionStyle(context, view, kItalicsBit);
}
void Cut(EditingContext& context, EditorView& view) {
    DeleteSelection(context, view);
}
template <int Direction>
void MoveRows(EditingContext& context, EditorView& view) {
    MoveSelectedRows(context, view, Direction);
}
void SelectAllRed(EditingContext& context, EditorView& view) {
    SelectAll(context, view);
    ColourSelection(context, view, 4);
}
std::vector<CaptionCell> Cells(const char* text, uint8_t attribute = kDefaultAttribute) {
    std::vector<CaptionCell> cells;
    for (const char* c = text; *c != 0; ++c) cells.push_back({uint8_t(*c), attribute});
    return cells;
}
void PasteRed(EditingContext& context, EditorView& view) {
    PasteAtCaret(context, view, {{Cells("R", 0x3C)}});
}
void PasteGreen(EditingContext& context, EditorView& view) {
    PasteAtCaret(context, view, {{Cells("hi", 0x39)}});
}
void PasteTwoRows(EditingContext& context, EditorView& view) {
    PasteAtCaret(context, view, {{Cells("XY"), Cells("Z")}});
}

enum Outcome {
    Edit,     // the screen becomes `after`
    Move,     // only the caret moves
    Refuse,   // one beep, nothing changes
    Nothing,  // no sound, no change
};

using Caret = std::pair<int, int>;

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
    {"a colour chosen while typing keeps italics and underline", {}, {0, 0}, TypingColour<6>, {}, {0, 0}, Nothing, 0xFE},
    {"white chosen while typing", {}, {0, 0}, TypingColour<0>, {}, {0, 0}, Nothing, 0xF8},
    {"7 is no colour", {}, {0, 0}, TypingColour<7>, {}, {0, 0}, Nothing},
    {"nor is -1", {}, {0, 0}, TypingColour<-1>, {}, {0, 0}, Nothing},

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
    {"column 32 of a caption of four rows", {{0, 28, "abcd"}, {1, 0, "b"}, {2, 0, "c"}, {3, 0, "d"}}, {0, 32}, Type<'x', kToggled>, {}, {}, Refuse},
    {"a full row of a caption of four rows", {{0, 0, std::string(32, 'm')}, {1, 0, "b"}, {2, 0, "c"}, {3, 0, "d"}}, {0, 5}, Type<'x', kToggled>, {}, {}, Refuse},

    // Typing past the end of a row: the last word goes on a new row, the caption growing upwards.
    {"the last word and the caret go up a row", {{14, 20, "hello worlds"}}, {14, 32}, Type<'x'>,
     {{13, 20, "hello"}, {14, 20, "worldsx"}}, {14, 27}, Edit},
    {"the caret before the last word stays on its row", {{14, 0, "the quick brown fox jumped overs"}}, {14, 3}, Type<'x'>,
     {{13, 0, "thex quick brown fox jumped"}, {14, 0, "overs"}}, {13, 4}, Edit},
    {"a space at the row's end is the break", {{14, 0, "the quick brown fox jumped overs"}}, {14, 32}, Type<' '>,
     {{13, 0, "the quick brown fox jumped"}, {14, 0, "overs"}}, {14, 5}, Edit},
    {"at the top the rows below move down", {{0, 20, "hello worlds"}, {1, 0, "next"}}, {0, 32}, Type<'x'>,
     {{0, 20, "hello"}, {1, 20, "worldsx"}, {2, 0, "next"}}, {1, 27}, Edit},
    {"a green word leaves its code and gains the one its new row's start needs",
     {{14, 4, "012345678901234567890 "}, {14, 26, "\x19"}, {14, 27, "green", 0x39}}, {14, 32}, Type<'x', 0x39>,
     {{13, 4, "012345678901234567890"}, {14, 4, "\x19"}, {14, 5, "greenx", 0x39}}, {14, 11}, Edit},
    {"no empty cell would stay between runs", {{0, 20, "abcdefghij"}, {0, 31, "z"}}, {0, 25}, Type<'x', kToggled>, {}, {}, Refuse},
    {"at the end of a run one cell short", {{0, 20, "abcdefghij"}, {0, 31, "z"}}, {0, 30}, Type<'x', kToggled>, {}, {}, Refuse},
    {"the codes of green italics would close the gap", {{0, 0, "abcd"}, {0, 6, "z"}}, {0, 4}, Type<'g', kToggled>, {}, {}, Refuse},
    {"an attribute code is not typed", {}, {0, 0}, Type<0x0C, kToggled>, {}, {}, Refuse},
    {"0x80 is not typed", {}, {0, 0}, Type<0x80, kToggled>, {}, {}, Refuse},
    {"0xD0 is not typed", {}, {0, 0}, Type<0xD0, kToggled>, {}, {}, Refuse},
    {"0xFF is not typed", {}, {0, 0}, Type<0xFF, kToggled>, {}, {}, Refuse},

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
    {"no room on the next row: the row moves up", {{2, 5, "abc"}, {3, 7, "x"}}, {2, 6}, NewLine,
     {{1, 5, "a"}, {2, 5, "bc"}, {3, 7, "x"}}, {2, 5}, Edit},
    {"the last row moves up", {{14, 0, "end"}}, {14, 1}, NewLine, {{13, 0, "e"}, {14, 0, "nd"}}, {14, 0}, Edit},
    {"a caption of four rows gets no fifth", {{11, 0, "a"}, {12, 0, "b"}, {13, 0, "c"}, {14, 0, "end"}}, {14, 1}, NewLine, {}, {}, Refuse},

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

    // The selection: its styles with the codes they need, cut, paste, its rows moved.
    {"a word turned red: its code takes the space before it", {{14, 4, "hello world"}}, {14, 15}, Selected<14, 10, Colour<4>>,
     {{14, 4, "hello"}, {14, 9, "\x1C"}, {14, 10, "world", 0x3C}}, {14, 15}, Edit, 0x3C},
    {"italics on part of a word needs a code inside it", {{3, 0, "world"}}, {3, 3}, Selected<3, 0, Italicise>,
     {{3, 0, "wor", 0x78}, {3, 3, "\x18", 0x78}, {3, 4, "ld"}}, {3, 3}, Edit, 0x78},
    {"italics off again: the code's cell shows the space it was", {{3, 0, "wor", 0x78}, {3, 3, "\x18", 0x78}, {3, 4, "ld"}}, {3, 3},
     Selected<3, 0, Italicise>, {{3, 0, "wor ld"}}, {3, 3}, Edit, 0x38},
    {"a run turned green keeps its text in place, its code in the cell before", {{2, 8, "ab"}}, {2, 10}, Selected<2, 8, Colour<1>>,
     {{2, 7, "\x19"}, {2, 8, "ab", 0x39}}, {2, 10}, Edit, 0x39},
    {"and back to white gives that cell up", {{2, 7, "\x19"}, {2, 8, "ab", 0x39}}, {2, 10}, Selected<2, 8, Colour<0>>,
     {{2, 8, "ab"}}, {2, 10}, Edit, 0x38},
    {"no room for the codes of a restyle", {{0, 0, "abcdefghijklmnopqrstuvwxyz01234"}}, {0, 3}, Selected<0, 1, Colour<4>>, {}, {}, Refuse},
    {"select all, then red", {{13, 0, "one"}, {14, 2, "two"}}, {0, 0}, SelectAllRed,
     {{13, 0, "one", 0x3C}, {14, 2, "two", 0x3C}}, {14, 5}, Edit, 0x3C},
    {"cutting a word closes the row up", {{5, 0, "one two three"}}, {5, 8}, Selected<5, 4, Cut>, {{5, 0, "one three"}}, {5, 4}, Edit},
    {"cutting across rows keeps the rows", {{13, 0, "first line"}, {14, 0, "second line"}}, {14, 7}, Selected<13, 5, Cut>,
     {{13, 0, "first"}, {14, 0, "line"}}, {13, 5}, Edit},
    {"pasted red text takes the codes a typed one would", {{0, 0, "ab"}}, {0, 1}, PasteRed,
     {{0, 0, "a"}, {0, 1, "\x1C"}, {0, 2, "R", 0x3C}, {0, 3, "\x18", 0x3C}, {0, 4, "b"}}, {0, 3}, Edit, 0x3C},
    {"two pasted rows: the rest of the run follows the last", {{13, 4, "abcd"}}, {13, 6}, PasteTwoRows,
     {{13, 4, "abXY"}, {14, 4, "Zcd"}}, {14, 5}, Edit},
    {"a second pasted row would pass the bottom", {{14, 4, "abcd"}}, {14, 6}, PasteTwoRows, {}, {}, Refuse},
    {"pasted where nothing stands: at the caret, its code before it", {}, {7, 10}, PasteGreen,
     {{7, 9, "\x19"}, {7, 10, "hi", 0x39}}, {7, 12}, Edit, 0x39},
    {"a paste replaces the selection", {{0, 0, "abc"}}, {0, 2}, Selected<0, 1, PasteRed>,
     {{0, 0, "a"}, {0, 1, "\x1C"}, {0, 2, "R", 0x3C}, {0, 3, "\x18", 0x3C}, {0, 4, "c"}}, {0, 3}, Edit, 0x3C},
    {"a paste that does not fit", {{0, 0, std::string(31, 'm')}}, {0, 31}, PasteRed, {}, {}, Refuse},
    {"the selected rows move up together", {{13, 0, "one"}, {14, 0, "two"}}, {14, 3}, Selected<13, 0, MoveRows<-1>>,
     {{12, 0, "one"}, {13, 0, "two"}}, {13, 3}, Edit},
    {"the selected rows cannot leave the screen", {{0, 0, "one"}, {1, 0, "two"}}, {1, 3}, Selected<0, 0, MoveRows<-1>>, {}, {}, Refuse},
    {"text in the way of the selected rows", {{12, 0, "x"}, {13, 0, "one"}, {14, 0, "two"}}, {14, 3}, Selected<13, 0, MoveRows<-1>>, {}, {}, Refuse},
};
// clang-format on

TEST(EditorCommands, Table) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        EditingContext context = Editing(c.caret.first, c.caret.second);
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
                [[fallthrough]];
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
            EXPECT_EQ(Caret(context.caretRow, context.caretColumn), c.caretAfter);
            EXPECT_EQ(view.carets > 0 ? view.caret : c.caretAfter, c.caretAfter);
            const int attribute =
                c.outcome == Nothing && c.attributeAfter < 0 ? kToggled : c.attributeAfter;
            if (attribute >= 0) {
                EXPECT_EQ(context.typingAttribute, attribute);
            }
        }
        // Without an edit copy, or with the caret off the screen, the command does nothing.
        for (const Caret& caret : {Caret{-1, -1}, Caret{15, 0}, Caret{0, 33}, Caret{3, -1}}) {
            SCOPED_TRACE(::testing::Message() << "caret " << caret.first << "," << caret.second);
            context = Editing(caret.first, caret.second);
            *context.editCopy = MakeCaption(c.before);
            const Snapshot away(context);
            const bool editing = caret.first != -1;
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

// The clipboard's forms of copied text: the cells come back only from what was written, and
// plain text takes the caption set's characters.
TEST(ClipText, CellsComeBackAndOtherBytesGiveNothing) {
    const ClipText text{{Cells("Hi", 0x3C), Cells("there")}};
    EXPECT_EQ(EncodeClipText(text), std::string("\x02H\x3Ci\x3C\x05t8h8e8r8e8", 16));
    EXPECT_EQ(DecodeClipText(EncodeClipText(text)).rows, text.rows);
    const struct {
        const char* what;
        std::string bytes;
    } bad[] = {
        {"a row cut short", std::string("\x02H\x3Ci", 4)},
        {"an empty row", std::string("\x00", 1)},
        {"an attribute code", std::string("\x01\x1C\x38", 3)},
        {"a row of 33", std::string(1, '\x21') + std::string(66, 'a')},
        {"16 rows",
         [] {
             std::string s;
             for (int k = 0; k < 16; ++k)
                 s += "\x01"
                      "a8";
             return s;
         }()},
    };
    for (const auto& b : bad) EXPECT_TRUE(DecodeClipText(b.bytes).Empty()) << b.what;
    const ClipText plain = ClipTextFromUtf8(
        "caf\xC3\xA9\t\xE2\x99\xAA\r\n\n\xE4\xB8\xAD"
        "x",
        0x39);
    ASSERT_EQ(plain.rows.size(), 2u);
    EXPECT_EQ(plain.rows[0],
              (std::vector<CaptionCell>{
                  {'c', 0x39}, {'a', 0x39}, {'f', 0x39}, {0xE9, 0x39}, {' ', 0x39}, {0x90, 0x39}}));
    EXPECT_EQ(plain.rows[1], Cells("x", 0x39));
    EXPECT_EQ(ClipTextToUtf8(plain), "caf\xC3\xA9 \xE2\x99\xAA\nx");
}

// Long random editing sessions: after every command or typed character the screen must still
// be one that the editor may make and that the code string renders back unchanged.
// What a step may do to the characters and runs of the screen.
enum class Effect { CaretOnly, Types, Deletes, Joins, Breaks, Moves, Restyles, Cuts, Pastes };
// The least and most characters, then runs, that a step not refused adds, by effect. A refused
// one changes nothing at all. A wrap takes the spaces at the break; a restyle turns the cells of
// codes no longer needed into the spaces they showed, and spaces into the codes it needs.
constexpr int kAllowed[][4] = {{0, 0, 0, 0},    {-32, 1, 0, 1},     {-1, -1, -1, 0},
                               {-1, 0, -1, 0},  {0, 0, 0, 1},       {0, 0, 0, 0},
                               {-64, 64, 0, 0}, {-480, 2, -240, 0}, {-4, 480, 0, 15}};

struct Step {
    const char* name;
    void (*command)(EditingContext&, EditorView&);  // null: typing, a click or a shift
    Effect effect;
    int filling;   // weight while the screen fills
    int emptying;  // weight once it is crowded, until it has emptied again
};

constexpr Step kSteps[] = {
    {"type", nullptr, Effect::Types, 40, 8},
    {"click", nullptr, Effect::CaretOnly, 6, 4},
    {"left", CaretLeft, Effect::CaretOnly, 3, 2},
    {"right", CaretRight, Effect::CaretOnly, 3, 2},
    {"up", CaretUp, Effect::CaretOnly, 2, 2},
    {"down", CaretDown, Effect::CaretOnly, 2, 2},
    {"run home", CaretToRunStart, Effect::CaretOnly, 2, 2},
    {"run end", CaretToRunEnd, Effect::CaretOnly, 2, 8},
    {"screen home", ScreenHome, Effect::CaretOnly, 1, 1},
    {"screen end", ScreenEnd, Effect::CaretOnly, 1, 3},
    {"word left", WordLeft, Effect::CaretOnly, 2, 2},
    {"word right", WordRight, Effect::CaretOnly, 2, 2},
    {"italics", ToggleItalics, Effect::CaretOnly, 4, 2},
    {"underline", Underline, Effect::CaretOnly, 3, 2},
    {"delete", DeleteForward, Effect::Deletes, 3, 8},
    {"backspace", Backspace, Effect::Joins, 3, 40},
    {"new line", NewLine, Effect::Breaks, 4, 3},
    {"shift", nullptr, Effect::Moves, 6, 6},
    {"centre", CenterRun, Effect::Moves, 2, 2},
    {"run up", RunUp, Effect::Moves, 3, 3},
    {"run down", RunDown, Effect::Moves, 3, 3},
    {"anchor", nullptr, Effect::CaretOnly, 3, 3},
    {"red", Colour<4>, Effect::Restyles, 2, 1},
    {"white", Colour<0>, Effect::Restyles, 2, 1},
    {"italics on the selection", Italicise, Effect::Restyles, 2, 1},
    {"cut", nullptr, Effect::Cuts, 0, 3},
    {"paste", nullptr, Effect::Pastes, 2, 1},
    {"rows up", MoveRows<-1>, Effect::Moves, 1, 1},
    {"rows down", MoveRows<1>, Effect::Moves, 1, 1},
};
constexpr int kCrowded = 240;
constexpr int kSparse = 60;

std::pair<int, int> CountRunsAndCharacters(const Caption& caption) {
    int runs = 0, characters = 0;
    for (int r = 0; r < kScreenRows; ++r) {
        for (int c = 0; c < kScreenColumns; ++c) {
            const CaptionCell* row = caption.cells[r];
            runs += !row[c].IsEmpty() && (c == 0 || row[c - 1].IsEmpty());
            characters += row[c].character >= 0x20;
        }
    }
    return {runs, characters};
}

class RandomSession : public ::testing::TestWithParam<uint32_t> {};

// The session fills the screen, then empties it once crowded, over and over; it must have done
// so several times, with many edits refused on the crowded rows.
TEST_P(RandomSession, KeepsTheScreenSoundForTenThousandSteps) {
    std::mt19937 random(GetParam());
    auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    static const std::vector<uint8_t> all = testing::TypableCharacters();
    EditingContext context = Editing(0, 0);
    Caption& caption = *context.editCopy;
    bool emptying = false;
    int refusals = 0, cycles = 0, changes = 0;
    ClipText clip{{Cells("clip")}};
    for (int i = 0; i < 10000 && !HasFatalFailure(); ++i) {
        const int crowd = CountRunsAndCharacters(caption).second;
        cycles += crowd > kCrowded && !emptying;
        emptying = crowd > kCrowded || (emptying && crowd >= kSparse);
        int n = 0;
        for (const Step& s : kSteps) n += emptying ? s.emptying : s.filling;
        n = uniform(0, n - 1);
        const Step* step = kSteps;
        while ((n -= emptying ? step->emptying : step->filling) >= 0) ++step;
        SCOPED_TRACE(::testing::Message() << "step " << i << " " << step->name);

        caption.loadFrames = 1234;  // stands for a computed value
        const Snapshot before(context);
        const auto [runsBefore, charactersBefore] = CountRunsAndCharacters(caption);
        CountingView view;
        if (step->command) {
            step->command(context, view);
        } else if (step->effect == Effect::Types) {
            // Mostly letters and spaces, so that words and runs form; now and then any character.
            TypeCharacter(context, view,
                          uniform(0, 9) == 0   ? all[uniform(0, int(all.size()) - 1)]
                          : uniform(0, 5) == 0 ? ' '
                                               : uint8_t('a' + uniform(0, 25)));
        } else if (step->effect == Effect::Cuts) {
            if (const ClipText cut = CopySelection(context); !cut.Empty()) clip = cut;
            DeleteSelection(context, view);
        } else if (step->effect == Effect::Pastes) {
            // At the caret alone: pasting over a selection is a cut first.
            ClearSelection(context);
            PasteAtCaret(context, view, clip);
        } else if (step->effect == Effect::Moves) {
            static constexpr int kColumns[] = {1, -1, 4, -4, 9, -9};
            ShiftRun(context, view, kColumns[uniform(0, 5)]);
        } else if (step->name == std::string("anchor")) {
            context.anchorRow = uniform(0, kScreenRows - 1);
            context.anchorColumn = uniform(0, kScreenColumns);
        } else {
            context.caretRow = uniform(0, kScreenRows - 1);
            context.caretColumn = uniform(0, kScreenColumns);
            PickUpAttribute(context);
        }

        const bool changed = !caption.SameScreen(before.caption);
        const auto [runsAfter, charactersAfter] = CountRunsAndCharacters(caption);
        const int runs = runsAfter - runsBefore, characters = charactersAfter - charactersBefore;
        ASSERT_LE(view.beeps, 1);
        if (view.beeps == 1) {
            ++refusals;
            ASSERT_TRUE(before == context) << "a refused edit changed something";
            ASSERT_EQ(view.Calls(), 1) << "a refused edit did more than beep";
        }
        if (changed) {
            ++changes;
            ASSERT_EQ(caption.loadFrames, -1);
        }
        ASSERT_TRUE(context.caretRow >= 0 && context.caretRow < kScreenRows);
        ASSERT_TRUE(context.caretColumn >= 0 && context.caretColumn <= kScreenColumns);
        if (step->effect == Effect::CaretOnly) {
            ASSERT_FALSE(changed);
            ASSERT_EQ(view.beeps, 0);
        }
        const int* allowed = kAllowed[static_cast<int>(step->effect)];
        if (view.beeps == 0) {
            ASSERT_TRUE(characters >= allowed[0] && characters <= allowed[1]) << characters;
            ASSERT_TRUE(runs >= allowed[2] && runs <= allowed[3]) << runs;
        }
        // Every cell the editor may not write (a lone attribute, a code that ends a run or that
        // it never makes, row 15) is one the code string does not carry back.
        ASSERT_EQ(FirstDifference(caption, RoundTrip(caption)), "");
    }
    EXPECT_GE(cycles, 4);
    EXPECT_GT(refusals, 500);
    EXPECT_GT(changes, 2500);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSession, ::testing::Values(1u, 7u, 42u, 2024u, 65535u));

}  // namespace
}  // namespace vantrel
