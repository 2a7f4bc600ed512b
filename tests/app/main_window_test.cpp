// The main window and its view through buttons, labels, slider, panel and menus, on generated
// videos played without sound: the transport, navigation, AddCaption and the timing modes; the
// shell's size, the question before closing, File commands committing the caption being typed
// and the italics and underline buttons; and the bundled demo edited end to end.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>

#include "caption_window/caption_render.h"
#include "files/caption_import.h"
#include "files/project_file.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {
using enum PlayState;

using View = MainView;
using test::kTestFrames;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.show();
        window_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }

    void Open(const std::string& path) {
        ASSERT_FALSE(path.empty());
        view_.OpenVideo(path);
        ASSERT_TRUE(view_.HasVideo());
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
    }

    void Click(View::Button b) { QTest::mouseClick(&view_.TransportButton(b), Qt::LeftButton); }
    bool Checked(View::Button b) { return view_.TransportButton(b).isChecked(); }
    int Shown() { return test::ReadFrameNumber(view_.Video().grab().toImage()); }
    QAction* MenuAction(const char* text) {
        for (QAction* a : window_.findChildren<QAction*>()) {
            if (a->text() == text) return a;
        }
        return nullptr;
    }

    // A Manual caption (its frames stay as given) with a letter on its last row and a known
    // loading time.
    Caption* Add(int32_t start, int32_t end, int32_t load = 5) {
        auto c = std::make_unique<Caption>();
        c->startFrame = start;
        c->endFrame = end;
        c->timingMode = Manual;
        c->cells[14][0] = {'A', 0x38};
        c->loadFrames = load;
        return view_.Project().captions.Insert(std::move(c));
    }

    // Starts typing a new caption at the top left of the caption screen.
    void BeginTyping(const char* text) {
        QTest::mouseClick(&view_.Captions(), Qt::LeftButton, Qt::NoModifier, QPoint(48, 40));
        ASSERT_TRUE(view_.Captions().IsEditing());
        QTest::keyClicks(&view_.Captions(), text);
    }

    test::ScriptedDialogs dialogs_;
    MainWindow window_{&dialogs_, test::QuietPlayer()};
    MainView& view_ = window_.View();
};

TEST_F(MainWindowTest, WithoutVideoNoTransportOrNavigationCommandDoesAnything) {
    // The window has one fixed size that holds the view, the menu bar and the toolbar.
    EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
    EXPECT_EQ(view_.size(), QSize(MainView::kWidth, MainView::kHeight));
    EXPECT_GE(window_.height(), MainView::kHeight + 40);
    Add(10, 20);
    Add(30, 40);
    view_.SetCurrentFrame(15);
    view_.Project().modified = false;
    for (int b = 0; b < View::kAddCaptionButton; ++b) {
        Click(View::Button(b));
        SCOPED_TRACE(b);
        EXPECT_EQ(view_.CurrentPlayState(), Stopped);
        EXPECT_EQ(view_.CurrentFrame(), 15);
        EXPECT_FALSE(view_.Project().modified);
        EXPECT_FALSE(view_.Ticks().Running());
        EXPECT_FALSE(Checked(View::kPlayButton) || Checked(View::kPauseButton));
    }
    EXPECT_EQ(view_.FrameLabel().text(), "Frame 0/0");
    EXPECT_EQ(view_.TimecodeLabel().text(), "(00:00:00:00)");
}

TEST_F(MainWindowTest, LabelsAndSliderFollowThePosition) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const struct {
        int frames;
        int32_t seek;
        const char* frameText;
        const char* timecode;
        int32_t step;
        int sliderMax;
    } cases[] = {
        {1800, 0, "Frame 0/1800", "(00:00:00:00)", 1, 1800},
        {1800, 1799, "Frame 1799/1800", "(00:00:59:29)", 1, 1800},
        {9999, 9998, "Frame 9998/9999", "(00:05:33:08)", 1, 9999},
        {10000, 5001, "Frame 5001/10000", "(00:02:46:21)", 2, 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frameText);
        Open(test::GreyVideo(c.frames));
        view_.SeekToFrame(c.seek);
        EXPECT_EQ(view_.FrameLabel().text(), c.frameText);
        EXPECT_EQ(view_.TimecodeLabel().text(), c.timecode);
        EXPECT_EQ(view_.Slider().maximum(), c.sliderMax);
        EXPECT_EQ(view_.Slider().value(), c.seek / c.step);
    }
}

// The transport and caption navigation buttons; the steps' bounds at the ends of the video are
// the exact-seek tests'. Caption navigation does nothing while playing.
TEST_F(MainWindowTest, TransportAndCaptionNavigationButtons) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
    Add(10, 20);
    Add(30, 40);
    Add(60, 70);
    const View::Button next = View::kNextCaptionButton, previous = View::kPreviousCaptionButton;
    const struct {
        int32_t from;  // seek here first (-1: stay)
        View::Button button;
        PlayState state;
        bool play, pause;  // checked
        int32_t frame;     // after the command (-1: any)
    } steps[] = {
        {-1, View::kPlayButton, Playing, true, false, -1},
        {-1, View::kPauseButton, Paused, true, true, -1},
        {-1, View::kPauseButton, Playing, true, false, -1},  // pause toggles
        {-1, View::kStepForwardButton, Paused, true, true, -1},
        {-1, View::kStopButton, Stopped, false, false, 0},
        {50, View::kStepBackButton, Stopped, false, false, 49},
        {50, View::kStepForwardButton, Stopped, false, false, 51},
        {0, next, Stopped, false, false, 10},
        {10, next, Stopped, false, false, 30},
        {15, next, Stopped, false, false, 30},
        {60, next, Stopped, false, false, 60},
        {65, next, Stopped, false, false, 65},
        {65, previous, Stopped, false, false, 30},
        {45, previous, Stopped, false, false, 30},
        {80, previous, Stopped, false, false, 60},
        {15, previous, Stopped, false, false, 15},  // inside the first caption
        {5, previous, Stopped, false, false, 5},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(testing::Message() << "from " << s.from << ", button " << s.button);
        if (s.from >= 0) view_.SeekToFrame(s.from);
        Click(s.button);
        EXPECT_EQ(view_.CurrentPlayState(), s.state);
        EXPECT_EQ(Checked(View::kPlayButton), s.play);
        EXPECT_EQ(Checked(View::kPauseButton), s.pause);
        EXPECT_EQ(view_.Ticks().Running(), s.state == Playing);
        EXPECT_TRUE(s.frame < 0 || view_.CurrentFrame() == s.frame) << view_.CurrentFrame();
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
    }
    view_.SeekToFrame(0);
    view_.Play();
    const int32_t before = view_.CurrentFrame();
    view_.NextCaption();
    EXPECT_LT(view_.CurrentFrame(), 10);
    EXPECT_GE(view_.CurrentFrame(), before);
}

// Holding a scan button moves 17 frames a tick on from where the last tick left off. At the end
// the clamp stops the ticks, but the view scans until the button is let go; letting go stops,
// or plays on when the scan began in playback.
TEST_F(MainWindowTest, HoldingAScanButtonScansAndLettingGoStopsOrPlaysOn) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
    QToolButton& forward = view_.TransportButton(View::kFastForwardButton);
    QToolButton& rewind = view_.TransportButton(View::kRewindButton);
    view_.SeekToFrame(5);
    QTest::mousePress(&forward, Qt::LeftButton);
    EXPECT_EQ(view_.CurrentPlayState(), Scanning);
    EXPECT_TRUE(view_.Ticks().Running());
    ASSERT_TRUE(test::WaitFor([&] { return view_.CurrentFrame() >= 5 + 2 * 17; }, 3000));
    EXPECT_EQ((view_.CurrentFrame() - 5) % 17, 0);
    ASSERT_TRUE(test::WaitFor([&] { return !view_.Ticks().Running(); }, 3000));
    EXPECT_EQ(view_.CurrentFrame(), kTestFrames - 1);
    EXPECT_EQ(view_.CurrentPlayState(), Scanning);
    QTest::mouseRelease(&forward, Qt::LeftButton);
    EXPECT_EQ(view_.CurrentPlayState(), Stopped);
    EXPECT_FALSE(view_.Ticks().Running());

    view_.SeekToFrame(100);
    view_.Play();
    QTest::mousePress(&rewind, Qt::LeftButton);
    EXPECT_EQ(view_.CurrentPlayState(), Scanning);
    EXPECT_TRUE(view_.Ticks().Running());
    const int32_t pressed = view_.CurrentFrame();
    ASSERT_TRUE(test::WaitFor([&] { return view_.CurrentFrame() != pressed; }));
    const int32_t first = view_.CurrentFrame();
    ASSERT_TRUE(test::WaitFor([&] { return view_.CurrentFrame() != first; }));
    EXPECT_EQ(first - view_.CurrentFrame(), 17);
    QTest::mouseRelease(&rewind, Qt::LeftButton);
    EXPECT_EQ(view_.CurrentPlayState(), Playing);
    EXPECT_TRUE(view_.Ticks().Running());
    view_.Stop();
    EXPECT_FALSE(view_.Ticks().Running());
}

// Dragging shows at once a frame near the thumb, which the labels and the position then give;
// letting go shows the thumb's own frame.
TEST_F(MainWindowTest, DraggingTheSliderShowsNearFramesAndLettingGoTheExactOne) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("mp4"));  // groups of 30 pictures
    ASSERT_TRUE(test::WaitFor([&] { return view_.Player().Indexed(); }));
    QSlider& slider = view_.Slider();
    auto at = [&](int value) {
        QStyleOptionSlider option;
        option.initFrom(&slider);
        option.orientation = Qt::Horizontal;
        option.minimum = slider.minimum();
        option.maximum = slider.maximum();
        option.sliderPosition = option.sliderValue = value;
        return slider.style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, &slider)
            .center();
    };
    view_.Play();
    QTest::mousePress(&slider, Qt::LeftButton, {}, at(slider.value()));
    int inexact = 0;
    for (int value : {100, 101, 103, 40, 41, 115, 12}) {
        QTest::mouseMove(&slider, at(value));
        const int target = slider.sliderPosition();
        SCOPED_TRACE(target);
        EXPECT_EQ(view_.CurrentPlayState(), Paused);
        const int frame = Shown();
        EXPECT_LE(std::abs(frame - target), 30);
        EXPECT_EQ(view_.CurrentFrame(), frame);
        EXPECT_EQ(view_.ToFrames(view_.Player().Position()), frame);
        EXPECT_EQ(view_.FrameLabel().text(), QString("Frame %1/120").arg(frame));
        if (frame != target) ++inexact;
    }
    EXPECT_GT(inexact, 0) << "every frame was decoded exactly while dragging";
    QTest::mouseMove(&slider, at(77));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, at(77));
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    const int target = slider.value();
    EXPECT_EQ(Shown(), target);
    EXPECT_EQ(view_.CurrentFrame(), target);
    EXPECT_EQ(view_.ToFrames(view_.Player().Position()), target);
}

TEST_F(MainWindowTest, AddCaptionCopiesTheCaptionBeforeWhereThereIsRoom) {
    // The frame, and the start and end of the new caption; start -1: a beep and no caption.
    const struct {
        int32_t frame, start, end;
    } cases[] = {
        {5, -1, 0},   {12, 16, 20},  // keeps the copied end, which is after its start
        {50, 50, 60}, {97, 94, 99},  // held before the next caption's loading
        {205, -1, 0}, {300, 300, 349},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        view_.ForgetShownCaption();
        view_.Timeline().ForgetCurrentCaption();
        view_.Project().captions.Clear();
        Add(10, 20);
        Add(100, 150);
        Add(200, 210);
        Add(211, 260);  // too close after 200-210 for a copy of it
        const int beeps = dialogs_.beeps;
        view_.SetCurrentFrame(c.frame);
        view_.Project().modified = false;
        Click(View::kAddCaptionButton);
        const bool adds = c.start >= 0;
        EXPECT_EQ(dialogs_.beeps, beeps + (adds ? 0 : 1));
        EXPECT_EQ(view_.Project().captions.Count(), adds ? 5 : 4);
        EXPECT_EQ(view_.Project().modified, adds);
        if (!adds) continue;
        Caption* added = view_.Project().captions.CaptionAtOrBefore(c.start);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->startFrame, c.start);
        EXPECT_EQ(added->endFrame, c.end);
        EXPECT_EQ(added->cells[14][0].character, 'A');
    }
}

// Tools > Check Captions lists the findings and a double-click goes to the caption; a commit
// checks again; the timeline marks a start delayed for loading.
TEST_F(MainWindowTest, CheckCaptionsListsFindingsGoesToThemAndFollowsCommits) {
    Add(2, 100);  // late: it takes five frames to load
    Add(300, 310);
    MenuAction("&Check Captions")->trigger();
    QTreeWidget& list = view_.Check().List();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view_.Check()));
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(3), "late-display");
    EXPECT_EQ(list.topLevelItem(1)->text(0), "00:00:10:00");
    const QImage timeline = view_.Timeline().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto* pixels = reinterpret_cast<const QRgb*>(timeline.constBits());
    const auto marked = std::count(pixels, pixels + timeline.width() * timeline.height(),
                                   qRgb(240, 140, 0));  // the late mark
    EXPECT_GT(marked, 0);
    const QRect row = list.visualItemRect(list.topLevelItem(1));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    EXPECT_EQ(view_.CurrentFrame(), 300);
    BeginTyping("B  C");
    view_.Captions().EndEdit();
    ASSERT_EQ(list.topLevelItemCount(), 3);
    EXPECT_EQ(list.topLevelItem(2)->text(3), "spacing");
}

TEST_F(MainWindowTest, PanelShowsTheCaptionAndSetsItsTimingMode) {
    PropertiesPanel& panel = view_.Panel();
    Caption* c = Add(100, 160);
    Add(400, 460);
    EXPECT_FALSE(panel.ModeButton(Manual).isEnabled());
    view_.SetCurrentFrame(120);
    view_.Captions().ResetAndShowFrame(120);
    EXPECT_EQ(panel.StartText(), "100");
    EXPECT_EQ(panel.EndText(), "160");
    EXPECT_EQ(panel.DurationText(), "60");
    EXPECT_EQ(panel.CheckedMode(), Manual);
    EXPECT_TRUE(panel.CodesText().startsWith("{RCL}"));
    EXPECT_TRUE(panel.CodesText().endsWith("A_{EOC}"));

    // Modes 1-3 recompute the end at once; Manual keeps it, even past the next caption's
    // start where Manual timing itself would cut it.
    const std::pair<int, int32_t> choices[] = {
        {Seamless, 400}, {Manual, 400}, {Normal, 160}, {Persistent, 399}, {Manual, 399}};
    for (auto [mode, end] : choices) {
        SCOPED_TRACE(mode);
        view_.Project().modified = false;
        panel.ModeButton(mode).click();
        EXPECT_EQ(c->timingMode, mode);
        EXPECT_EQ(c->endFrame, end);
        EXPECT_EQ(panel.EndText(), QString::number(end));
        EXPECT_EQ(panel.CheckedMode(), mode);
        EXPECT_TRUE(view_.Project().modified);
    }

    // Outside every caption the panel is cleared and a mode changes nothing.
    view_.SetCurrentFrame(470);
    view_.Captions().ResetAndShowFrame(470);
    EXPECT_EQ(panel.StartText(), "");
    EXPECT_EQ(panel.CheckedMode(), 0);
    EXPECT_FALSE(panel.ModeButton(Normal).isEnabled());
    const int32_t end = c->endFrame;
    view_.Project().modified = false;
    view_.SetTimingMode(Normal);
    EXPECT_EQ(c->timingMode, Manual);
    EXPECT_EQ(c->endFrame, end);
    EXPECT_FALSE(view_.Project().modified);
}

TEST_F(MainWindowTest, CloseAndExitAskAboutUnsavedChanges) {
    using A = Dialogs::Answer;
    // `exit`: File > Exit, else the close box.
    const struct {
        bool exit, modified;
        std::vector<A> answers;
        bool closes;
    } cases[] = {
        {false, 0, {}, true},
        {false, 1, {A::Cancel}, false},
        {true, 1, {A::Cancel}, false},
        {true, 1, {A::No}, true},
    };
    QAction* exit = MenuAction("E&xit");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->shortcut(), QKeySequence(QKeySequence::Quit));
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.exit << c.modified << c.answers.size());
        window_.show();
        view_.Project().modified = c.modified;
        dialogs_.asked.clear();
        dialogs_.answers.assign(c.answers.begin(), c.answers.end());
        c.exit ? exit->trigger() : void(window_.close());
        EXPECT_EQ(dialogs_.asked,
                  std::vector<std::string>(
                      c.answers.size(),
                      "The caption project has changed.\n\nDo you want to save the changes?"));
        EXPECT_EQ(window_.isVisible(), !c.closes);
    }
}

// The italics and underline buttons follow the caption being typed; Ctrl+S while typing commits
// the caption, with both bits, before the project is saved.
TEST_F(MainWindowTest, ItalicsAndUnderlineFollowTheCaptionBeingTypedAndSaveCommitsIt) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("typed.ccp").toStdString();
    dialogs_.filesToSave.push_back(path);
    QAction* buttons[] = {&window_.ItalicsAction(), &window_.UnderlineAction()};
    for (QAction* b : buttons) EXPECT_FALSE(b->isEnabled() || b->isChecked());
    BeginTyping("a");
    for (QAction* b : buttons) {
        EXPECT_TRUE(b->isEnabled());
        EXPECT_FALSE(b->isChecked());
        b->trigger();
        EXPECT_TRUE(b->isChecked());
    }
    QTest::keyClicks(&view_.Captions(), "b");
    window_.ItalicsAction().trigger();
    EXPECT_FALSE(window_.ItalicsAction().isChecked());
    QTest::keyClick(&view_.Captions(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(view_.Captions().IsEditing());
    for (QAction* b : buttons) EXPECT_FALSE(b->isEnabled() || b->isChecked());
    EXPECT_EQ(view_.Files().ProjectPath(), path);
    EXPECT_FALSE(view_.Project().modified);
    CaptionProject saved;
    ASSERT_EQ(LoadProject(saved, path), LoadResult::Loaded);
    ASSERT_EQ(saved.captions.Count(), 1);
    const CaptionCell b = saved.captions.Head()->cells[0][2];  // after the attribute change
    EXPECT_EQ(b.character, 'b');
    EXPECT_EQ(b.attribute & (kItalicsBit | kUnderlineBit), kItalicsBit | kUnderlineBit);
}

std::string Text(const Caption& c) {
    char text[256];
    return std::string(text, c.GetRunningText(text, false, sizeof text));
}

// Texts and frames of every caption, one line each; with `all` the end frame and timing too.
std::string Listing(const CaptionList& list, bool all = true) {
    std::string out;
    for (const Caption* c = list.Head(); c; c = c->next) {
        out += std::to_string(c->startFrame) + " " + Text(*c) + "\n";
        if (all) out += std::to_string(c->endFrame) + " " + std::to_string(c->timingMode) + "\n";
    }
    return out;
}

// Set VANTREL_SCREENSHOTS to a folder to keep pictures of the demo's steps.
void Screenshot(QWidget& window, const char* name) {
    const QByteArray folder = qgetenv("VANTREL_SCREENSHOTS");
    if (!folder.isEmpty()) window.grab().save(QDir(folder).filePath(name));
}

// The whole window on the bundled demo, as a captioner uses it: play and pause, click into the
// caption screen and type with an accent into a coloured row, commit, move the caption on the
// timeline, save, export .scc from the menu, reopen, and compare with what was typed.
TEST_F(MainWindowTest, EditTheDemoMoveItSaveExportAndReopen) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is needed to make the demo video";
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string project = folder + "/demo.ccp";
    std::filesystem::copy_file(VANTREL_SOURCE_DIR "/resources/demo/demo.ccp", project);
    ASSERT_EQ(std::system(
                  ("'" VANTREL_SOURCE_DIR "/scripts/make-demo-video.sh' '" + folder + "'").c_str()),
              0);
    view_.Files().OpenProjectFile(project);
    ASSERT_TRUE(view_.HasVideo()) << "the video is found beside the project";
    ASSERT_EQ(view_.Project().captions.Count(), 5);

    view_.Play();
    QTest::qWait(600);
    view_.TogglePause();
    EXPECT_GT(view_.CurrentFrame(), 0);
    Screenshot(window_, "demo-playing.png");

    // The second caption: "until the next caption." in cyan on row 14, from column 4.
    view_.SeekToFrame(200);
    CaptionWindow& screen = view_.Captions();
    const QPoint endOfRow(kTextLeft + kCellPitchX * 27 + 8, kTextTop + kCellPitchY * 13 + 9);
    QTest::mouseClick(&screen, Qt::LeftButton, Qt::NoModifier, endOfRow);
    ASSERT_TRUE(screen.IsEditing());
    QTest::keyClicks(&screen, " Ol");
    QTest::keyClick(&screen, Qt::Key_Apostrophe, Qt::ControlModifier);
    QTest::keyClicks(&screen, "e");
    Screenshot(window_, "demo-editing.png");
    view_.Timeline().setFocus();  // the edit is committed when the screen loses the focus
    QTest::qWait(50);
    ASSERT_FALSE(screen.IsEditing());
    Caption* second = view_.Project().captions.Head()->next;
    EXPECT_EQ(Text(*second), "Green text, held on screen until the next caption. Ol\xE9");
    EXPECT_EQ(Foreground(second->cells[13][30].attribute), 3) << "typed in the row's cyan";

    // Drag its display block 30 frames later.
    TimelineWindow& timeline = view_.Timeline();
    // The display blocks lie in the lower half of the drawing above the scroll bar.
    const int drawing = timeline.contentsRect().height() -
                        timeline.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const QPoint at(timeline.contentsRect().left() + second->startFrame + 10 - timeline.Base(),
                    timeline.contentsRect().top() + drawing * 2 / 3);
    QTest::mousePress(&timeline, Qt::LeftButton, {}, at);
    QTest::mouseMove(&timeline, at + QPoint(15, 0));
    QTest::mouseMove(&timeline, at + QPoint(30, 0));
    QTest::mouseRelease(&timeline, Qt::LeftButton, {}, at + QPoint(30, 0));
    EXPECT_EQ(second->startFrame, 180);
    Screenshot(window_, "demo-moved.png");

    const std::string edited = Listing(view_.Project().captions);
    ASSERT_TRUE(view_.Files().Save());
    dialogs_.filesToSave = {folder + "/demo.scc"};
    QAction* exportAction = MenuAction("&Export Captions...");
    ASSERT_NE(exportAction, nullptr);
    exportAction->trigger();
    EXPECT_TRUE(dialogs_.informed.empty()) << dialogs_.informed[0];

    view_.Files().OpenProjectFile(project);
    EXPECT_EQ(Listing(view_.Project().captions), edited);
    EXPECT_FALSE(view_.Project().modified);

    // The exported file holds the same texts at the same start frames.
    CaptionProject exported;
    ASSERT_EQ(ImportCaptionFile(exported, folder + "/demo.scc", "scc"), ImportResult::Imported);
    EXPECT_EQ(Listing(exported.captions, false), Listing(view_.Project().captions, false));
}

}  // namespace
}  // namespace vantrel
