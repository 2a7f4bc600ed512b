// The caption list of the main window: it and the video follow each other both ways, Delete
// takes the selected captions out as one step, and the table shows the list as it stands after
// every kind of change (a double-click's edit among them).
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QScrollBar>
#include <QStatusBar>
#include <numeric>

#include "check/caption_checks.h"
#include "editor/edit_history.h"
#include "editor/speech_timing.h"
#include "window_fixture.h"

namespace vantrel {
namespace {

class CaptionListTest : public test::WindowFixture {
  protected:
    void SetUp() override {
        window_.ShowListAction().setChecked(true);
        WindowFixture::SetUp();
        for (int32_t start : kStarts) Add(start, start + 20);
        view_.Project().captions.NotifyChanged(kWholeList);
        view_.ShowCaptionsAgain();
    }

    // A letter of its start on the last row and a "b" on the row above.
    Caption* Add(int32_t start, int32_t end) {
        Caption* c = WindowFixture::Add(start, end, -1, 14, 'A' + start % 26);
        c->cells[13][1] = {'b', kDefaultAttribute};
        return c;
    }

    QPoint RowPoint(int row) {
        return table_.visualRect(table_.Model().index(row, CaptionTableModel::kNumber)).center();
    }
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(table_.viewport(), Qt::LeftButton, modifiers, RowPoint(row));
    }
    QString Cell(int row, int column) {
        return table_.Model().index(row, column).data().toString();
    }

    // The table shows exactly the list: a row per caption, each with its times and text.
    void ExpectTableIsList(TimecodeStyle style = TimecodeStyle::NonDropFrame) {
        const CaptionList& list = view_.Project().captions;
        ASSERT_EQ(table_.Model().rowCount(), list.Count());
        int row = 0;
        for (const Caption* c = list.Head(); c; c = c->next, ++row) {
            EXPECT_EQ(Cell(row, CaptionTableModel::kStart),
                      QString::fromStdString(FormatTimecode(c->startFrame, style)));
            EXPECT_EQ(Cell(row, CaptionTableModel::kEnd),
                      QString::fromStdString(FormatTimecode(c->endFrame, style)));
            EXPECT_EQ(Cell(row, CaptionTableModel::kText), CaptionTableModel::OneLineText(*c));
        }
    }

    static constexpr int32_t kStarts[] = {10, 40, 70, 1900, 2000};
    CaptionTable& table_ = view_.Table();
};

TEST_F(CaptionListTest, TheListAndTheVideoFollowEachOther) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::LoopedVideo(60));  // 240 s, past every caption
    // Enough rows to scroll: 300 more, from frame 2100 on, every 15 frames.
    for (int32_t k = 0; k < 300; ++k) Add(2100 + 15 * k, 2110 + 15 * k);
    view_.Project().captions.NotifyChanged(kWholeList);
    // What is done, then the frame the video shows and the rows selected.
    const struct {
        const char* what;
        std::function<void()> act;
        int32_t frame;
        std::vector<int> rows;
    } cases[] = {
        {"a row clicked", [&] { ClickRow(3); }, 1900, {3}},
        {"inside a caption", [&] { view_.SeekToFrame(45); }, 45, {1}},  // not sent to its start
        {"in a gap", [&] { view_.SeekToFrame(100); }, 100, {}},
        {"ctrl-click", [&] { ClickRow(0), ClickRow(2, Qt::ControlModifier); }, 70, {0, 2}},
        {"the down arrow", [&] { QTest::keyClick(&table_, Qt::Key_Down); }, 1900, {3}},
        {"the last caption", [&] { view_.SeekToFrame(2010); }, 2010, {4}},
        {"far down", [&] { view_.SeekToFrame(6005); }, 6005, {265}},
        {"the up arrow", [&] { QTest::keyClick(&table_, Qt::Key_Up); }, 5985, {264}},
        {"End", [&] { QTest::keyClick(&table_, Qt::Key_End); }, 6585, {304}},
        {"Shift+Up",
         [&] { QTest::keyClick(&table_, Qt::Key_Up, Qt::ShiftModifier); },
         6570,
         {303, 304}},
        {"Home", [&] { QTest::keyClick(&table_, Qt::Key_Home); }, 10, {0}},
        {"Shift+End", [&] { QTest::keyClick(&table_, Qt::Key_End, Qt::ShiftModifier); }, 6585,
         [] {
             std::vector<int> all(305);
             std::iota(all.begin(), all.end(), 0);
             return all;
         }()},
        {"Home again", [&] { QTest::keyClick(&table_, Qt::Key_Home); }, 10, {0}},
        {"back to the start", [&] { view_.SeekToFrame(12); }, 12, {0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
        EXPECT_EQ(view_.CurrentFrame(), c.frame);
        EXPECT_EQ(test::ReadFrameNumber(view_.Video().grab().toImage()), c.frame % 120);
        std::vector<Caption*> selected;
        for (int row : c.rows) selected.push_back(view_.Project().captions.CaptionAtRow(row));
        EXPECT_EQ(table_.SelectedCaptions(), selected);
        if (!c.rows.empty()) {
            EXPECT_TRUE(table_.viewport()->rect().contains(RowPoint(c.rows.back())));
        }
        // The keys never scroll sideways: the short columns stay in sight, the text last.
        EXPECT_EQ(table_.horizontalScrollBar()->value(), 0);
    }
    EXPECT_EQ(table_.horizontalHeader()->visualIndex(CaptionTableModel::kText),
              CaptionTableModel::kColumnCount - 1);
}

// Delete takes the selected captions out as one step; undo and redo put them back and out, and
// the table follows each.
TEST_F(CaptionListTest, DeleteOfASelectionIsOneStepThatUndoAndRedoTheTableFollows) {
    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);
    ClickRow(4, Qt::ControlModifier);
    QTest::keyClick(&table_, Qt::Key_Delete);
    const auto expect = [&](int count) {
        ASSERT_EQ(view_.Project().captions.Count(), count);
        EXPECT_EQ(view_.Project().captions.CaptionAtRow(1)->startFrame, count == 2 ? 70 : 40);
        ExpectTableIsList();
    };
    expect(2);
    EXPECT_EQ(view_.History().StepCount(), 1u);
    EXPECT_EQ(window_.UndoAction().text(), QString("&Undo ") + kDeleteCaptionsStep);
    for (bool undo : {true, false, true}) {
        (undo ? window_.UndoAction() : window_.RedoAction()).trigger();
        expect(undo ? 5 : 2);
    }
    // One caption alone is the single step.
    ClickRow(0);
    QTest::keyClick(&table_, Qt::Key_Delete);
    EXPECT_EQ(view_.History().UndoName(), kDeleteCaptionStep);
}

// A timing mode chosen in the panel with several rows selected applies to each of them as one
// step; with one row, to the caption the panel shows alone.
TEST_F(CaptionListTest, ATimingModeAppliesToEverySelectedCaption) {
    const auto modes = [&] {
        std::vector<int> found;
        for (const Caption* c = view_.Project().captions.Head(); c; c = c->next)
            found.push_back(c->timingMode);
        return found;
    };
    ClickRow(1);
    ClickRow(3, Qt::ControlModifier);
    ClickRow(4, Qt::ControlModifier);
    view_.Panel().ModeButton(Seamless).click();
    EXPECT_EQ(modes(), (std::vector<int>{Manual, Seamless, Manual, Seamless, Seamless}));
    EXPECT_EQ(view_.Project().captions.CaptionAtRow(1)->endFrame, 70);  // up to the next start
    EXPECT_EQ(view_.History().StepCount(), 1u);
    view_.Undo();
    EXPECT_EQ(modes(), std::vector<int>(5, Manual));
    EXPECT_EQ(view_.Project().captions.CaptionAtRow(1)->endFrame, 60);
    ClickRow(2);
    view_.Panel().ModeButton(Normal).click();
    EXPECT_EQ(modes(), (std::vector<int>{Manual, Manual, Normal, Manual, Manual}));
}

// Whatever changes the captions, the table shows the list as it then stands.
TEST_F(CaptionListTest, TheTableFollowsEveryChange) {
    const std::string demo = VANTREL_SOURCE_DIR "/resources/demo/demo.";
    const auto menu = [&](std::optional<std::string> file, const char* text) {
        dialogs_.answers = {Dialogs::Answer::No};
        Menu(std::move(file), text);
    };
    // A click on the screen, or a double-click on a row (a click, then the second press), and
    // typing; the double-click puts the caret after the caption's last row of text.
    const auto type = [&](int32_t frame, const char* text) {
        view_.SetCurrentFrame(frame);
        view_.ShowCaptionsAgain();
        if (frame >= 0) QTest::mouseClick(&view_.Captions(), Qt::LeftButton, {}, QPoint(48, 40));
        if (frame < 0)
            ClickRow(1), QTest::mouseDClick(table_.viewport(), Qt::LeftButton, {}, RowPoint(1));
        QTest::keyClicks(&view_.Captions(), text);
        view_.Captions().EndEdit();
        EXPECT_TRUE(frame >= 0 || Cell(1, CaptionTableModel::kText) == "b | OZed");
    };
    // What is done, and the captions then (-1: those of the demo).
    const struct {
        const char* what;
        std::function<void()> act;
        int captions;
    } cases[] = {
        {"a double-click's edit", [&] { type(-1, "Zed"); }, 5},
        {"a new caption typed", [&] { type(500, "New"); }, 6},
        {"a split", [&] { view_.SetCurrentFrame(2015), view_.AddCaption(); }, 7},
        {"a timing mode", [&] { view_.SetCurrentFrame(15), view_.SetTimingMode(Normal); }, 7},
        {"a typed start", [&] { view_.SetTypedTime(PropertiesPanel::Field::Start, 25); }, 7},
        {"undo", [&] { view_.Undo(), view_.Undo(), view_.Undo(); }, 6},
        {"redo", [&] { view_.Redo(); }, 7},
        {"import", [&] { menu(demo + "scc", "&Import Captions..."); }, -1},
        {"open", [&] { menu(demo + "ccp", "&Open Caption Project..."); }, -1},
        {"drop-frame labels", [&] { window_.DropFrameAction().setChecked(true); }, -1},
        {"new", [&] { menu(std::nullopt, "&New Caption Project..."); }, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.act();
        if (c.captions >= 0) {
            EXPECT_EQ(view_.Project().captions.Count(), c.captions);
        }
        ExpectTableIsList(window_.DropFrameAction().isChecked() ? TimecodeStyle::DropFrame
                                                                : TimecodeStyle::NonDropFrame);
    }
    window_.DropFrameAction().setChecked(false);  // a remembered setting
}

// What timing to speech leaves for the captioner: the caption it did not find stands out in the
// list and in the check, until undo takes the step back; without a video it is refused.
TEST_F(CaptionListTest, UnplacedCaptionsStandOutInTheListAndTheCheck) {
    Menu(std::nullopt, "&Time Captions to Speech");
    EXPECT_FALSE(view_.History().CanUndo());
    EXPECT_EQ(window_.statusBar()->currentMessage(),
              "Time Captions to Speech: open the programme's video first");
    const CaptionPlace none{};
    const std::vector<CaptionPlace> places = {
        {true, 100, 150}, none, {true, 300, 350}, {true, 6400, 6500}, {true, 6700, 6800}};
    view_.ReleaseCaptions();
    ASSERT_EQ(TimeToSpeechStep(view_.History(), places, 1001.0 / 30000, 20), 1u);
    view_.ShowCaptionsAgain();
    view_.RecheckCaptions();
    const auto unplacedFindings = [&] {
        std::vector<int> numbers;
        for (const Finding& f : view_.Findings())
            if (f.rule == CheckRule::Unplaced) numbers.push_back(f.number);
        return numbers;
    };
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        const QModelIndex mode = table_.Model().index(row, CaptionTableModel::kMode);
        EXPECT_EQ(mode.data().toString(), row == 1 ? "Manual, unplaced" : "Manual");
        EXPECT_EQ(mode.data(Qt::BackgroundRole).isValid(), row == 1);
    }
    EXPECT_EQ(unplacedFindings(), std::vector<int>{2});
    view_.Undo();
    view_.RecheckCaptions();
    EXPECT_TRUE(unplacedFindings().empty());
    EXPECT_FALSE(
        table_.Model().index(1, CaptionTableModel::kMode).data(Qt::BackgroundRole).isValid());
}

}  // namespace
}  // namespace vantrel
