// The editor's keys through real key events: each row of the key table runs its command (the
// same command run directly on a twin of the edit shows what it must do), the accent prefixes
// compose, typed Unicode goes through the caption set, and every listed key marks the project.
#include <gtest/gtest.h>

#include <functional>

#include "caption_window_fixture.h"
#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/typing_attribute.h"

namespace vantrel {
namespace {

using test::FakeMainView;

class QuietView : public EditorView {
  public:
    void Beep() override {}
    void PlaceCaret(int, int, uint8_t) override {}
    void MoveCaret(int, int) override {}
    void ShowCaption() override {}
};

struct Twin {
    EditingContext context;
    int accent = 0;
    QuietView view;
};

using Command = std::function<void(Twin&)>;

Command Do(void (*command)(EditingContext&, EditorView&)) {
    return [command](Twin& t) { command(t.context, t.view); };
}
Command Shift(int n) {
    return [n](Twin& t) { ShiftRun(t.context, t.view, n); };
}
Command Accent(int a) {
    return [a](Twin& t) { t.accent = a; };
}
Command Type(uint8_t ch) {
    return [ch](Twin& t) { TypeCharacter(t.context, t.view, ch); };
}
const Command kNothing = [](Twin&) {};

struct KeyCase {
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    Command command;
    bool marks = true;  // the project as changed: every key of the table does
};

constexpr auto kNo = Qt::NoModifier;
constexpr auto kSh = Qt::ShiftModifier;
constexpr auto kCt = Qt::ControlModifier;
constexpr auto kAl = Qt::AltModifier;
constexpr auto kPad = Qt::KeypadModifier;

// One key going down, without the presses of its modifier keys that QTest adds.
void Press(QWidget* w, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(w, &press);
}

// A screen where every command leaves a different result: text on rows 4 and 5, the caret
// inside the word "HELLO" of row 5.
constexpr int kRow = 5;
constexpr int kColumn = 12;

FakeMainView* Editing(FakeMainView& view, Twin& twin) {
    Caption* c = view.AddCaption(100, 200, 4, 2, "ABC");
    const char* text = "HELLO WORLD";
    for (int i = 0; text[i] != 0; ++i) c->cells[kRow][8 + i] = {uint8_t(text[i]), 0x38};
    view.frame = 150;
    view.ClickCell(kRow, kColumn);
    twin.context.editCopy = std::make_unique<Caption>(*c);
    twin.context.caretRow = kRow;
    twin.context.caretColumn = kColumn;
    PickUpAttribute(twin.context);
    return &view;
}

TEST(CaptionWindowKeys, EveryKeyOfTheTableRunsItsCommandAndOtherKeysNone) {
    const std::vector<KeyCase> cases = {
        {kNo, Qt::Key_Backspace, Do(Backspace)},
        {kNo, Qt::Key_Tab, Shift(4)},
        {kNo, Qt::Key_Return, Do(NewLine)},
        {kPad, Qt::Key_Enter, Do(NewLine)},
        {kNo, Qt::Key_End, Do(CaretToRunEnd)},
        {kNo, Qt::Key_Home, Do(CaretToRunStart)},
        {kNo, Qt::Key_Left, Do(CaretLeft)},
        {kNo, Qt::Key_Right, Do(CaretRight)},
        {kNo, Qt::Key_Up, Do(CaretUp)},
        {kNo, Qt::Key_Down, Do(CaretDown)},
        {kNo, Qt::Key_Delete, Do(DeleteForward)},
        {kSh, Qt::Key_Backtab, Shift(-4)},
        {kSh, Qt::Key_End, Do(CaretToRunEnd)},
        {kSh, Qt::Key_Home, Do(CaretToRunStart)},
        {kSh, Qt::Key_Left, Do(CaretLeft)},
        {kSh, Qt::Key_Right, Do(CaretRight)},
        {kSh, Qt::Key_Up, Do(CaretUp)},
        {kSh, Qt::Key_Down, Do(CaretDown)},
        {kCt, Qt::Key_Control, kNothing},
        {kCt, Qt::Key_Tab, Shift(1)},
        {kCt | kPad, Qt::Key_6, Shift(1)},
        {kCt | kPad, Qt::Key_4, Shift(-1)},
        {kCt, Qt::Key_Home, Do(ScreenHome)},
        {kCt, Qt::Key_End, Do(ScreenEnd)},
        {kCt, Qt::Key_Left, Do(WordLeft)},
        {kCt, Qt::Key_Right, Do(WordRight)},
        {kCt, Qt::Key_Up, Do(RunUp)},
        {kCt | kPad, Qt::Key_8, Do(RunUp)},
        {kCt, Qt::Key_Down, Do(RunDown)},
        {kCt | kPad, Qt::Key_2, Do(RunDown)},
        {kCt, Qt::Key_E, Do(CenterRun)},
        {kCt, Qt::Key_I, [](Twin& t) { ToggleItalics(t.context, t.view); }},
        {kCt, Qt::Key_U, [](Twin& t) { ToggleUnderline(t.context); }},
        {kCt, Qt::Key_Comma, Accent(',')},
        {kCt, Qt::Key_Minus, Accent('-')},
        {kCt, Qt::Key_Slash, Accent('/')},
        {kCt, Qt::Key_QuoteLeft, Accent('`')},
        {kCt, Qt::Key_Apostrophe, Accent('\'')},
        {kCt | kPad, Qt::Key_7, Type(0xB1)},
        {kCt | kPad, Qt::Key_9, Type(0xB2)},
        {kCt | kPad, Qt::Key_1, Type(0xB3)},
        {kCt | kPad, Qt::Key_3, Type(0xB4)},
        {kCt | kSh, Qt::Key_Backtab, Shift(-1)},
        {kCt | kSh, Qt::Key_Home, Do(ScreenHome)},
        {kCt | kSh, Qt::Key_End, Do(ScreenEnd)},
        {kCt | kSh, Qt::Key_Left, Do(WordLeft)},
        {kCt | kSh, Qt::Key_Right, Do(WordRight)},
        {kCt | kSh, Qt::Key_At, Accent('@')},
        {kCt | kSh, Qt::Key_2, Accent('@')},
        {kCt | kSh, Qt::Key_AsciiCircum, Accent('^')},
        {kCt | kSh, Qt::Key_Ampersand, Accent('&')},
        {kCt | kSh, Qt::Key_Colon, Accent(':')},
        {kCt | kSh, Qt::Key_AsciiTilde, Accent('~')},
        {kCt | kAl, Qt::Key_C, Type(0xA9)},
        {kCt | kAl, Qt::Key_R, Type(0xAE)},
        {kCt | kAl, Qt::Key_S, Type(0x9A)},
        {kCt | kAl, Qt::Key_T, Type(0x99)},
        {kCt | kAl, Qt::Key_Period, Type(0x95)},
        {kCt | kAl | kSh, Qt::Key_Exclam, Type(0xA1)},
        {kCt | kAl | kSh, Qt::Key_Question, Type(0xBF)},
        {kCt | kAl | kSh, Qt::Key_Bar, Type(0x7F)},
        {kAl, Qt::Key_X, kNothing},
        {kAl | kSh, Qt::Key_Left, kNothing},
        // Keys outside the table.
        {kCt, Qt::Key_Q, kNothing, false},
        {kCt | kSh, Qt::Key_Up, kNothing, false},
        {kCt | kAl, Qt::Key_Left, kNothing, false},
        {kSh, Qt::Key_Shift, kNothing, false},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const KeyCase& c = cases[i];
        FakeMainView view;
        Twin twin;
        Editing(view, twin);
        c.command(twin);
        Press(&view.window, c.key, c.modifiers);
        const EditingContext& got = view.window.Editing();
        SCOPED_TRACE(testing::Message() << "row " << i << ": key 0x" << std::hex << c.key);
        EXPECT_TRUE(got.editCopy->SameScreen(*twin.context.editCopy));
        EXPECT_EQ(got.caretRow, twin.context.caretRow);
        EXPECT_EQ(got.caretColumn, twin.context.caretColumn);
        EXPECT_EQ(got.typingAttribute, twin.context.typingAttribute);
        EXPECT_EQ(view.window.PendingAccent(), twin.accent);
        EXPECT_EQ(view.project.modified, c.marks);
    }
}

struct TypingCase {
    Qt::KeyboardModifiers accentModifiers;
    Qt::Key accentKey;  // Qt::Key_unknown: no accent key
    QString typed;
    uint8_t expected;  // the character that enters the screen; 0 for none
};

void TypeText(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(w, &press);
    }
}

TEST(CaptionWindowKeys, AccentsComposeAndTypedUnicodeGoesThroughTheCaptionSet) {
    const TypingCase cases[] = {
        {kCt, Qt::Key_Apostrophe, "e", 0xE9},
        {kCt, Qt::Key_Apostrophe, "x", 'x'},
        {kCt, Qt::Key_Apostrophe, "'", 0x92},
        {kCt, Qt::Key_Comma, "C", 0xC7},
        {kCt, Qt::Key_Minus, "-", 0x96},
        {kCt, Qt::Key_Minus, "l", 0xA3},
        {kCt, Qt::Key_Slash, "2", 0xBD},
        {kCt, Qt::Key_Slash, "o", 0xF8},
        {kCt | kSh, Qt::Key_Colon, "u", 0xFC},
        {kCt | kSh, Qt::Key_Colon, "-", 0xF7},
        {kCt | kSh, Qt::Key_At, " ", 0xB0},
        {kCt | kSh, Qt::Key_2, "A", 0xC5},
        {kCt | kSh, Qt::Key_AsciiCircum, "O", 0xD4},
        {kCt, Qt::Key_QuoteLeft, "<", 0xAB},
        {kCt, Qt::Key_QuoteLeft, "`", 0x91},
        {kCt, Qt::Key_QuoteLeft, "E", 0xC8},
        {kCt | kSh, Qt::Key_AsciiTilde, "n", 0xF1},
        {kCt | kSh, Qt::Key_Ampersand, "s", 0xDF},
        // A later accent replaces a pending one; an ignored character leaves it pending.
        {kCt, Qt::Key_Comma, QString::fromUtf8("\u20AC") + "c", 0xE7},
        {kNo, Qt::Key_unknown, "`", 0x90},
        {kNo, Qt::Key_unknown, QString::fromUtf8("é"), 0xE9},
        {kNo, Qt::Key_unknown, QString::fromUtf8("\u2019"), 0x92},
        {kNo, Qt::Key_unknown, QString::fromUtf8("\u20AC"), 0},  // in the set, not typable
        {kNo, Qt::Key_unknown, QString::fromUtf8("\u266A"), 0},  // its own key only
        {kNo, Qt::Key_unknown, QString::fromUtf8("\u4E2D"), 0},  // outside the set
    };
    for (const TypingCase& c : cases) {
        FakeMainView view;
        view.ClickCell(0, 0);
        if (c.accentKey != Qt::Key_unknown)
            QTest::keyClick(&view.window, c.accentKey, c.accentModifiers);
        TypeText(&view.window, c.typed);
        const CaptionCell& cell = view.window.Editing().editCopy->cells[0][0];
        EXPECT_EQ(cell.character, c.expected) << c.typed.toStdString();
        EXPECT_EQ(view.window.Editing().caretColumn, c.expected != 0 ? 1 : 0);
        EXPECT_EQ(view.window.PendingAccent(), 0) << c.typed.toStdString();
        EXPECT_EQ(view.beeps, 0);
    }
}

TEST(CaptionWindowKeys, ARefusedCharacterBeepsOnceAndCharactersAreIgnoredWithCtrlOrAlt) {
    FakeMainView view;
    view.ClickCell(0, 32);
    QTest::keyClicks(&view.window, "a");
    EXPECT_EQ(view.beeps, 1);
    EXPECT_FALSE(view.project.modified);
    view.ClickCell(0, 0);
    QKeyEvent ctrlA(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, "a");
    QCoreApplication::sendEvent(&view.window, &ctrlA);
    EXPECT_EQ(view.window.Editing().editCopy->cells[0][0].character, 0);
    EXPECT_EQ(view.beeps, 1);
}

}  // namespace
}  // namespace vantrel
