// The caption window inside a stand-in for the main view, with the video window over it: what
// it shows as the frame moves, the edit lifecycle driven by the mouse and the focus, and the
// editor's keys through real key events.
#include "caption_window/caption_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QWidget>
#include <functional>
#include <optional>
#include <tuple>
#include <utility>

#include "caption_window/caption_render.h"
#include "caption_window/caption_window_host.h"
#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/selection_commands.h"
#include "editor/typing_attribute.h"
#include "support/screen_text.h"
#include "video/video_window.h"

namespace vantrel {
namespace {
using enum PlayState;

class FakeMainView : public QWidget, public CaptionWindowHost {
  public:
    int32_t frame = 0;
    PlayState playState = PlayState::Stopped;
    CaptionProject project;
    EditHistory history{project};
    int panelFills = 0;
    int panelClears = 0;
    std::optional<int32_t> panelStart;  // the frames of the caption the panel shows
    int32_t panelEnd = 0;
    int timelineForgets = 0;
    int beeps = 0;

    CaptionWindow window{this};
    VideoWindow video{&window};
    QWidget elsewhere{this};  // takes the focus away from the caption window

    FakeMainView() {
        window.SetMainView(this);
        window.SetVideoWindow(&video);
        video.setGeometry(0, 0, 480, 360);
        elsewhere.setGeometry(480, 0, 10, 10);
        elsewhere.setFocusPolicy(Qt::StrongFocus);
        resize(490, 360);
    }

    int32_t CurrentFrame() const override { return frame; }
    PlayState CurrentPlayState() const override { return playState; }
    CaptionProject& Project() override { return project; }
    EditHistory& History() override { return history; }
    void FillPanel(const Caption& caption) override {
        ++panelFills;
        panelStart = caption.startFrame;
        panelEnd = caption.endFrame;
    }
    void ClearPanel() override {
        ++panelClears;
        panelStart.reset();
    }
    void ForgetTimelineCaption() override { ++timelineForgets; }
    void Beep() override { ++beeps; }

    // Manual timing, so that its frames stay as given.
    Caption* AddCaption(int32_t start, int32_t end, const testing::Screen& screen) {
        auto c = std::make_unique<Caption>(testing::MakeCaption(screen));
        c->startFrame = start;
        c->endFrame = end;
        c->timingMode = Manual;
        return project.captions.Insert(std::move(c));
    }

    void ClickCell(int row, int column) {
        QTest::mouseClick(&window, Qt::LeftButton, Qt::NoModifier,
                          QPoint(48 + 12 * column, 40 + 19 * row));
    }
    void Commit() {
        elsewhere.setFocus();
        QCoreApplication::processEvents();
    }
};

const QRegion kWhole(0, 0, 480, 360);

// The screen is drawn again only when the caption on the air changes, and follows the transport:
// scanning clears it, and pausing after a scan or stopping shows the caption at the host's frame.
TEST(CaptionWindowShow, RendersOnlyWhenTheShownCaptionChangesAndFollowsTheTransport) {
    FakeMainView view;
    view.AddCaption(100, 1200, {{0, 0, "A"}});
    view.AddCaption(1300, 1400, {{1, 0, "B"}});
    view.window.SetTransportState(Playing);
    for (int32_t frame = 100; frame < 1100; ++frame) view.window.ShowFrame(frame);
    EXPECT_EQ(view.panelFills, 1);
    EXPECT_EQ(view.video.mask(), kWhole - QRegion(36, 38, 36, 19));
    // Off the air: cleared once, however often the frame moves.
    for (int32_t frame = 1200; frame < 1300; ++frame) view.window.ShowFrame(frame);
    EXPECT_EQ(view.panelClears, 1);
    EXPECT_TRUE(view.video.mask().isEmpty());
    view.window.ShowFrame(1300);
    EXPECT_EQ(view.panelFills, 2);
    EXPECT_EQ(view.panelStart, 1300);
    EXPECT_EQ(view.video.mask(), kWhole - QRegion(36, 57, 36, 19));
    // Going back finds the earlier caption again.
    view.window.ShowFrame(150);
    EXPECT_EQ(view.panelStart, 100);

    view.window.SetTransportState(Scanning);
    EXPECT_TRUE(view.video.mask().isEmpty());
    view.frame = 1350;
    view.window.SetTransportState(Paused);
    EXPECT_EQ(view.panelStart, 1300);
    view.frame = 1250;
    view.window.SetTransportState(Stopped);
    EXPECT_FALSE(view.panelStart.has_value());
    view.frame = 1399;
    view.window.ResetAndShowFrame(-1);
    EXPECT_EQ(view.panelStart, 1300);
}

// Stopped or paused a click picks the nearest caret position, at every scale: the screen fills
// the 4:3 picture (in the middle of a window of another shape), and a click a quarter into a
// cell's box, where its solid block is drawn white, places the caret before that cell. Playing or
// scanning a click does nothing.
TEST(CaptionWindowMouse, ClicksPickTheNearestCaretPositionAtEveryScaleWhenEditsAreAllowed) {
    const struct {
        QPoint at;
        PlayState state;
        int row, column;            // row -1: no edit
        QSize window = {480, 360};  // the scale: 1, 1.5, 2 beside bars, 1.5 between bars
        bool block = false;         // a block is drawn there
    } cases[] = {
        {{53, 40}, Stopped, 0, 0},
        {{54, 40}, Paused, 0, 1},
        {{60, 56}, Stopped, 0, 1},
        {{60, 57}, Stopped, 1, 1},
        {{1, 1}, Stopped, 0, 0},
        {{479, 359}, Stopped, 14, 32},
        {{437, 300}, Stopped, 13, 32},
        {{425, 300}, Stopped, 13, 31},
        {{48, 40}, Playing, -1, 0},
        {{48, 40}, Scanning, -1, 0},
        {{171, 104}, Stopped, 3, 10, {480, 360}, true},
        {{256, 156}, Stopped, 3, 10, {720, 540}, true},
        {{634, 469}, Paused, 14, 31, {720, 540}, true},
        {{502, 208}, Stopped, 3, 10, {1280, 720}, true},
        {{262, 94}, Stopped, 0, 0, {1280, 720}, true},
        {{634, 549}, Stopped, 14, 31, {720, 700}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.at.x() << "," << c.at.y() << " " << c.window.width());
        FakeMainView view;
        view.AddCaption(0, 100, {{3, 10, "\x7F"}, {14, 31, "\x7F"}, {0, 0, "\x7F"}});
        view.frame = 7;
        view.playState = c.state;
        view.window.resize(c.window);
        view.window.ResetAndShowFrame(7);
        if (c.block) {
            EXPECT_EQ(view.window.grab().toImage().pixel(c.at), qRgb(255, 255, 255));
            EXPECT_FALSE(view.video.mask().contains(c.at));  // the picture leaves it open
        }
        QTest::mouseClick(&view.window, Qt::LeftButton, Qt::NoModifier, c.at);
        EXPECT_FALSE(view.project.modified);  // a click is not a change
        ASSERT_EQ(view.window.IsEditing(), c.row >= 0);
        EXPECT_EQ(view.window.cursor().shape(), c.row >= 0 ? Qt::IBeamCursor : Qt::ArrowCursor);
        if (c.row < 0) continue;
        EXPECT_EQ(std::pair(view.window.Editing().caretRow, view.window.Editing().caretColumn),
                  std::pair(c.row, c.column));
    }
}

// An edit of a caption replaces it and applies its timing when the focus goes (or with Escape),
// and the panel shows its frames then; a new caption enters the list at the click's frame unless
// it is left empty, and then neither the panel nor the video's mask show it.
TEST(CaptionWindowEdit, CommittingReplacesTheCaptionOrAddsANewOneUnlessEmpty) {
    FakeMainView view;
    view.show();  // so that the focus can come and go
    view.activateWindow();
    (void)QTest::qWaitForWindowActive(&view);
    Caption* source = view.AddCaption(100, 101, {{0, 0, "A"}});
    source->timingMode = Normal;
    view.frame = 100;
    view.ClickCell(0, 1);
    QTest::keyClicks(&view.window, "BC");
    EXPECT_EQ(source->cells[0][1].character, 0);  // the list keeps the old text meanwhile
    EXPECT_FALSE(view.project.modified);          // the commit is the change
    view.Commit();
    EXPECT_TRUE(view.project.modified);
    EXPECT_EQ(view.panelStart, 100);
    EXPECT_EQ(view.panelEnd, source->endFrame);
    EXPECT_FALSE(view.window.IsEditing());
    ASSERT_EQ(view.project.captions.Count(), 1);
    EXPECT_EQ(view.project.captions.Head(), source);
    EXPECT_EQ(source->cells[0][1].character, 'B');
    EXPECT_EQ(source->cells[0][2].character, 'C');
    EXPECT_GT(source->endFrame, 101);  // Normal timing for one line, not the frame it had
    EXPECT_EQ(view.timelineForgets, 1);

    // Escape commits as the focus going does.
    view.frame = 300;
    view.ClickCell(3, 4);
    QTest::keyClicks(&view.window, "Hi");
    ASSERT_EQ(view.project.captions.Count(), 1);
    QTest::keyClick(&view.window, Qt::Key_Escape);
    EXPECT_FALSE(view.window.IsEditing());
    ASSERT_EQ(view.project.captions.Count(), 2);
    const Caption* added = view.project.captions.Head()->next;
    EXPECT_EQ(added->startFrame, 300);
    EXPECT_GT(added->endFrame, 301);
    EXPECT_EQ(added->cells[3][4].character, 'H');

    view.frame = 900;
    view.ClickCell(3, 4);
    QTest::keyClicks(&view.window, "x");
    QTest::keyClick(&view.window, Qt::Key_Backspace);
    EXPECT_EQ(view.panelStart, 900);
    view.Commit();
    EXPECT_FALSE(view.window.IsEditing());
    EXPECT_EQ(view.project.captions.Count(), 2);
    EXPECT_FALSE(view.panelStart);
    EXPECT_TRUE(view.video.mask().isEmpty());  // nothing on the air: the whole picture shows
    EXPECT_EQ(view.history.StepCount(), 2u);

    // A caption emptied by an edit shows for no frame; typing on its frame fills it again
    // instead of adding a second caption with the same start.
    view.frame = 300;
    view.ClickCell(3, 5);
    QTest::keyClick(&view.window, Qt::Key_Backspace);
    QTest::keyClick(&view.window, Qt::Key_Delete);
    view.Commit();
    ASSERT_EQ(added->startFrame, added->endFrame);
    view.ClickCell(3, 4);
    QTest::keyClicks(&view.window, "Yo");
    view.Commit();
    ASSERT_EQ(view.project.captions.Count(), 2);
    EXPECT_EQ(added->cells[3][4].character, 'Y');
    EXPECT_GT(added->endFrame, 301);
}

TEST(CaptionWindowEdit, TheCaretIsABarOrTheSlantedBitmapAndTheVideoLeavesItOpen) {
    FakeMainView view;
    view.ClickCell(2, 5);
    // The boxes either side of the caret are open in the picture.
    EXPECT_EQ(view.video.mask(), kWhole - QRegion(96, 76, 24, 19));
    auto lit = [&](int x, int y) {
        return view.window.grab().toImage().pixel(x, y) == qRgb(255, 255, 255);
    };
    // Caret at x 12c + 47, y 19r + 40, 14 rows high.
    const int x = 12 * 5 + 47, y = 19 * 2 + 40;
    EXPECT_TRUE(lit(x, y) && lit(x + 1, y + 13) && !lit(x + 2, y) && !lit(x, y + 14));
    QTest::keyClick(&view.window, Qt::Key_I, Qt::ControlModifier);
    // Slanted: top rows two pixels further right than the bottom rows, one pixel further left.
    const int s = x - 1;
    EXPECT_TRUE(lit(s + 2, y) && lit(s + 3, y) && !lit(s, y) && lit(s, y + 13) &&
                !lit(s + 3, y + 13));
    QTest::keyClicks(&view.window, "a");  // after the italics code that opens the run
    EXPECT_EQ(view.window.Editing().editCopy->cells[2][6].attribute & 0x40, 0x40);
}

// The editor's keys: the same command run directly on a twin of the edit shows what a key must
// do.
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
Command Type(uint8_t ch) {
    return [ch](Twin& t) { TypeCharacter(t.context, t.view, ch); };
}
const Command kNothing = [](Twin&) {};

constexpr auto kNo = Qt::NoModifier;
constexpr auto kSh = Qt::ShiftModifier;
constexpr auto kCt = Qt::ControlModifier;
constexpr auto kAl = Qt::AltModifier;
constexpr auto kPad = Qt::KeypadModifier;
using enum Qt::Key;

// Every action of the key table through one of its keys, and the ways keys are matched: Backtab
// and Enter, keypad digits apart from the others; a modifier key going down and Alt without Ctrl
// do nothing but the colours. The project is changed only by a key that changed the screen. The
// accent keys are the typing test's.
TEST(CaptionWindowKeys, EveryActionOfTheKeyTableRunsItsCommandAndOtherKeysNone) {
    struct KeyCase {
        Qt::KeyboardModifiers modifiers;
        Qt::Key key;
        Command command;
    };
    // clang-format off
    const std::vector<KeyCase> cases = {
        {kNo, Key_Backspace, Do(Backspace)}, {kNo, Key_Delete, Do(DeleteForward)},
        {kNo, Key_Tab, Shift(4)}, {kSh, Key_Backtab, Shift(-4)}, {kNo, Key_Return, Do(NewLine)},
        {kPad, Key_Enter, Do(NewLine)}, {kNo, Key_End, Do(CaretToRunEnd)},
        {kNo, Key_Home, Do(CaretToRunStart)}, {kSh, Key_Home, Do(CaretToRunStart)},
        {kNo, Key_Left, Do(CaretLeft)}, {kNo, Key_Right, Do(CaretRight)},
        {kNo, Key_Up, Do(CaretUp)}, {kSh, Key_Down, Do(CaretDown)},
        {kCt, Key_Control, kNothing}, {kCt, Key_Tab, Shift(1)},
        {kCt | kPad, Key_4, Shift(-1)}, {kCt | kSh, Key_Backtab, Shift(-1)},
        {kCt, Key_Home, Do(ScreenHome)}, {kCt | kSh, Key_End, Do(ScreenEnd)},
        {kCt, Key_Left, Do(WordLeft)}, {kCt | kSh, Key_Right, Do(WordRight)},
        {kCt | kPad, Key_8, Do(RunUp)}, {kCt, Key_Down, Do(RunDown)}, {kCt, Key_E, Do(CenterRun)},
        {kCt, Key_I, [](Twin& t) { ToggleItalics(t.context, t.view); }},
        {kCt, Key_U, [](Twin& t) { ToggleUnderline(t.context); }},
        {kAl, Key_3, [](Twin& t) { SetTypingColour(t.context, 2); }}, {kAl, Key_8, kNothing},
        {kCt | kPad, Key_7, Type(0xB1)}, {kCt | kAl, Key_C, Type(0xA9)},
        {kCt | kAl | kSh, Key_Question, Type(0xBF)}, {kAl, Key_X, kNothing},
        {kAl | kSh, Key_Left, kNothing}, {kCt, Key_A, Do(SelectAll)},
        {kCt, Key_X, kNothing},  // nothing selected
        // Keys outside the table.
        {kCt, Key_Q, kNothing}, {kCt, Key_7, kNothing},
        {kCt | kSh, Key_Up, kNothing}, {kCt | kAl, Key_Left, kNothing},
        {kSh, Key_Shift, kNothing},
    };
    // clang-format on
    // Text on rows 4 and 5 and the caret inside the word "HELLO" of row 5: every command leaves
    // a different result.
    constexpr int kRow = 5, kColumn = 12;
    for (size_t i = 0; i < cases.size(); ++i) {
        const KeyCase& c = cases[i];
        SCOPED_TRACE(::testing::Message() << "row " << i << ": key 0x" << std::hex << c.key);
        FakeMainView view;
        Caption* caption = view.AddCaption(100, 200, {{4, 2, "ABC"}, {kRow, 8, "HELLO WORLD"}});
        view.frame = 150;
        view.ClickCell(kRow, kColumn);
        Twin twin{
            {std::make_unique<Caption>(*caption), kRow, kColumn, kDefaultAttribute, true}, 0, {}};
        PickUpAttribute(twin.context);
        c.command(twin);
        // One key going down, without the presses of its modifier keys that QTest adds.
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers);
        QCoreApplication::sendEvent(&view.window, &press);
        const EditingContext& got = view.window.Editing();
        EXPECT_TRUE(got.editCopy->SameScreen(*twin.context.editCopy));
        const EditingContext& want = twin.context;
        EXPECT_EQ(std::tuple(got.caretRow, got.caretColumn, got.typingAttribute),
                  std::tuple(want.caretRow, want.caretColumn, want.typingAttribute));
        EXPECT_EQ(view.window.PendingAccent(), twin.accent);
        EXPECT_FALSE(view.project.modified);  // until the commit
    }
}

// Each accent key composes with what is typed next; typed Unicode goes through the caption set.
TEST(CaptionWindowKeys, AccentsComposeAndTypedUnicodeGoesThroughTheCaptionSet) {
    const struct {
        Qt::KeyboardModifiers accentModifiers;
        Qt::Key accentKey;  // Qt::Key_unknown: no accent key
        QString typed;
        uint8_t expected;  // the character that enters the screen; 0 for none
    } cases[] = {
        // clang-format off
        {kCt, Key_Apostrophe, "e", 0xE9}, {kCt, Key_Apostrophe, "x", 'x'},
        {kCt, Key_Apostrophe, "'", 0x92}, {kCt, Key_Comma, "C", 0xC7}, {kCt, Key_Minus, "-", 0x97},
        {kCt, Key_Minus, "l", 0xA3}, {kCt, Key_Slash, "2", 0xBD}, {kCt, Key_Slash, "o", 0xF8},
        {kCt | kSh, Key_Colon, "u", 0xFC}, {kCt | kSh, Key_Semicolon, "-", 0xF7},
        {kCt | kSh, Key_At, " ", 0xB0}, {kCt | kSh, Key_2, "A", 0xC5},
        {kCt | kSh, Key_AsciiCircum, "O", 0xD4}, {kCt | kSh, Key_6, "o", 0xF4},
        {kCt, Key_QuoteLeft, "<", 0xAB}, {kCt, Key_QuoteLeft, "`", 0x91},
        {kCt, Key_QuoteLeft, "E", 0xC8}, {kCt | kSh, Key_AsciiTilde, "n", 0xF1},
        {kCt | kSh, Key_QuoteLeft, "N", 0xD1}, {kCt | kSh, Key_Ampersand, "s", 0xDF},
        {kCt | kSh, Key_7, "s", 0xDF},
        // A later accent replaces a pending one; an ignored character leaves it pending.
        {kCt, Key_Comma, QString::fromUtf8("\u20AC") + "c", 0xE7},
        {kNo, Key_unknown, "`", 0x90}, {kNo, Key_unknown, QString::fromUtf8("é"), 0xE9},
        {kNo, Key_unknown, QString::fromUtf8("\u2019"), 0x92},
        {kNo, Key_unknown, QString::fromUtf8("\u20AC"), 0},  // in the set, not typable
        {kNo, Key_unknown, QString::fromUtf8("\u266A"), 0},  // its own key only
        {kNo, Key_unknown, QString::fromUtf8("\u4E2D"), 0},  // outside the set
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        FakeMainView view;
        view.ClickCell(0, 0);
        if (c.accentKey != Key_unknown)
            QTest::keyClick(&view.window, c.accentKey, c.accentModifiers);
        for (QChar ch : c.typed) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QCoreApplication::sendEvent(&view.window, &press);
        }
        EXPECT_EQ(view.window.Editing().editCopy->cells[0][0].character, c.expected);
        EXPECT_EQ(view.window.Editing().caretColumn, c.expected != 0 ? 1 : 0);
        EXPECT_EQ(view.window.PendingAccent(), 0);
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

// Text selected with Shift and the keys or a drag shows in reverse video; the colour keys and
// Ctrl+I act on it with the codes it needs; Ctrl+C and Ctrl+V carry it into another caption;
// typing replaces it; Ctrl+A and Ctrl+Up move the caption's rows; typing past a row's end
// carries the word up a row instead of being refused.
TEST(CaptionWindowSelection, KeysAndADragSelectAndTheStylesAndTheClipboardActOnIt) {
    QApplication::clipboard()->clear();
    FakeMainView view;
    view.AddCaption(100, 200, {{14, 8, "HELLO WORLD"}});
    Caption* other = view.AddCaption(300, 400, {{14, 4, "SEE"}});
    view.frame = 150;
    view.ClickCell(14, 14);
    const CaptionWindow& w = view.window;
    const auto cells = [&] { return w.Editing().editCopy->cells[14]; };
    const auto inverted = [&](int column) {
        return w.Image().pixel(CellBox(14, column).topLeft() + QPoint(1, 1)) == qRgb(255, 255, 255);
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(&view.window, k, m);
    };
    key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_TRUE(w.HasSelection());
    EXPECT_TRUE(inverted(14) && inverted(18));  // "WORLD", black boxes shown white
    EXPECT_FALSE(inverted(13) || inverted(19));
    key(Qt::Key_5, Qt::AltModifier);  // red: its code takes the space's cell
    EXPECT_EQ(cells()[13], (CaptionCell{0x1C, 0x38}));
    EXPECT_EQ(cells()[14], (CaptionCell{'W', 0x3C}));
    EXPECT_EQ(cells()[8], (CaptionCell{'H', 0x38}));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "WORLD");

    // Into the other caption, in the colour it had.
    key(Qt::Key_Escape);
    view.frame = 350;
    view.ClickCell(14, 7);
    key(Qt::Key_V, Qt::ControlModifier);
    key(Qt::Key_Escape);
    EXPECT_EQ(other->cells[14][7], (CaptionCell{0x1C, 0x38}));
    EXPECT_EQ(other->cells[14][8], (CaptionCell{'W', 0x3C}));
    EXPECT_EQ(other->cells[14][12], (CaptionCell{'D', 0x3C}));

    // A drag, then a selection with Shift, italics on it and typing over it.
    view.ClickCell(14, 5);
    QMouseEvent move(QEvent::MouseMove, QPointF(48 + 12 * 7, 40 + 19 * 14), QPointF(), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view.window, &move);
    ASSERT_TRUE(w.HasSelection());
    key(Qt::Key_Left);  // a plain movement drops it
    EXPECT_FALSE(w.HasSelection());
    // The second "E" and the code after it: italics needs a code before it, red its own after.
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    key(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(cells()[5], (CaptionCell{'E', 0x38}));
    EXPECT_EQ(cells()[6], (CaptionCell{0x0C, 0x38}));
    EXPECT_EQ(cells()[7], (CaptionCell{'E', 0x78}));
    EXPECT_EQ(cells()[8], (CaptionCell{0x1C, 0x78}));
    EXPECT_EQ(cells()[9], (CaptionCell{'W', 0x3C}));
    QTest::keyClicks(&view.window, "x");
    EXPECT_EQ(cells()[6].character, 'x');
    EXPECT_FALSE(w.HasSelection());

    // The whole caption up a row, and typing past the end of row 14.
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(w.Editing().editCopy->cells[13][4].character, 'S');
    EXPECT_EQ(w.Editing().editCopy->CountOccupiedRows(), 1);
    key(Qt::Key_Escape);
    view.frame = 150;
    view.ClickCell(14, 19);
    QTest::keyClicks(&view.window, " AND MORE WORDS TO THE END");
    EXPECT_EQ(view.beeps, 0);
    const Caption& wrapped = *w.Editing().editCopy;
    // "WOR" went down with its red code, and the space before it went.
    EXPECT_EQ(wrapped.cells[13][8].character, 'H');
    EXPECT_EQ(wrapped.cells[13][27], (CaptionCell{'E', 0x3C}));
    EXPECT_TRUE(wrapped.cells[13][28].IsEmpty());
    EXPECT_EQ(wrapped.cells[14][8], (CaptionCell{0x1C, 0x38}));
    EXPECT_EQ(wrapped.cells[14][9], (CaptionCell{'W', 0x3C}));
    EXPECT_EQ(std::pair(w.Editing().caretRow, w.Editing().caretColumn), std::pair(14, 25));
}

}  // namespace
}  // namespace vantrel
