// The main window and its view through buttons, labels, slider, panel and menus, on generated
// videos played without sound: the transport, navigation, AddCaption and the timing modes; the
// shell's size, the question before closing, File commands committing the caption being typed
// and the italics and underline buttons; the keys, the reading of the video; and the bundled
// demo edited end to end.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/shortcuts_dialog.h"
#include "app/spelling_dialog.h"
#include "caption_window/caption_render.h"
#include "files/caption_import.h"
#include "files/project_file.h"
#include "window_fixture.h"

namespace vantrel {
namespace {
using enum PlayState;

using View = MainView;
using test::kTestFrames;

class MainWindowTest : public test::WindowFixture {
  protected:
    void Click(View::Button b) { QTest::mouseClick(&view_.TransportButton(b), Qt::LeftButton); }
    bool Checked(View::Button b) { return view_.TransportButton(b).isChecked(); }
    int Shown() { return test::ReadFrameNumber(test::ShownPicture(view_.Video())); }

    // The screen and the panel show the caption on the air at the current frame (the last one
    // started) or none, and the ticks run only while playing. What reached the screen is what a
    // fresh drawing gives (not while the picture moves).
    void ExpectOnAir() {
        const Caption* on = nullptr;
        for (const Caption* c = view_.Project().captions.Head(); c; c = c->next) {
            if (c->startFrame <= view_.CurrentFrame() && view_.CurrentFrame() < c->endFrame) on = c;
        }
        EXPECT_EQ(view_.Panel().StartText(), on ? QString::number(on->startFrame) : "");
        EXPECT_EQ(view_.Ticks().Running(), view_.CurrentPlayState() == Playing);
        if (view_.CurrentPlayState() == Playing) return;
        test::Pump(20);
        const QRect r(view_.Captions().mapTo(&window_, QPoint()), view_.Captions().size());
        EXPECT_EQ(window_.screen()
                      ->grabWindow(window_.winId(), r.x(), r.y(), r.width(), r.height())
                      .toImage(),
                  view_.Captions().grab().toImage());
    }
};

// At the smallest sizes the window is made for (2x scaling on a 1600 x 1000 screen is
// 800 x 500), the picture and the timeline keep their least sizes and every control shows in
// full, inside all its parents (the panel's own controls scroll when the list leaves it too
// little height). Hiding the list and the panel gives their place to the picture. The next
// window comes at the last size and state, its side column hidden and back at its width when
// shown.
TEST_F(MainWindowTest, AtSmallWindowSizesEveryControlShowsAndTheLayoutIsKept) {
    int side = 0;
    for (const QSize size : {QSize(1024, 640), QSize(800, 500)}) {
        SCOPED_TRACE(size.width());
        window_.ShowPanelAction().setChecked(true);
        window_.ShowListAction().setChecked(true);
        window_.resize(size);
        test::Pump(50);
        EXPECT_EQ(window_.size(), size);
        EXPECT_TRUE(view_.Video().width() >= 480 && view_.Video().height() >= 270);
        EXPECT_GE(view_.Timeline().height(), 80);
        for (QWidget* w : window_.findChildren<QWidget*>()) {
            if (w->isVisible() && !view_.Panel().isAncestorOf(w) &&
                (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLabel*>(w) ||
                 qobject_cast<QLineEdit*>(w) || qobject_cast<QSlider*>(w))) {
                const QRect r(w->mapTo(&window_, QPoint()), w->size());
                EXPECT_TRUE(window_.rect().contains(r) && w->visibleRegion() == QRegion(w->rect()))
                    << w->metaObject()->className();
            }
        }
        // None pushed into the toolbar's overflow.
        const QToolBar* bar = window_.findChild<QToolBar*>();
        for (QAction* a : bar->actions()) EXPECT_TRUE(bar->widgetForAction(a)->isVisible());
        const QMenuBar* menus = window_.menuBar();
        EXPECT_LT(menus->actionGeometry(menus->actions().last()).right(), size.width());
        side = view_.SideSplitter().width();
        const int picture = view_.Video().width();
        window_.ShowPanelAction().setChecked(false);
        window_.ShowListAction().setChecked(false);
        test::Pump(50);
        EXPECT_GT(view_.Video().width(), picture + PropertiesPanel::kWidth / 2);
    }
    // Kept as it changes, not only at quit: the next window, started while this one has not
    // closed (as after a crash), comes back maximised over the same normal size.
    window_.showMaximized();
    test::Pump(MainWindow::kLayoutSaveDelayMs + 300);
    MainWindow next(&dialogs_, test::QuietPlayer());
    next.show();
    test::Pump(50);
    EXPECT_TRUE(next.isMaximized());
    EXPECT_EQ(next.normalGeometry().size(), QSize(800, 500));
    next.showNormal();
    test::Pump(50);
    EXPECT_EQ(next.size(), QSize(800, 500));
    EXPECT_FALSE(next.ShowPanelAction().isChecked() || next.ShowListAction().isChecked());
    next.ShowPanelAction().setChecked(true);
    test::Pump(50);
    EXPECT_EQ(next.View().SideSplitter().width(), side);
    EXPECT_EQ(next.View().Panel().visibleRegion().boundingRect(), next.View().Panel().rect());
    QSettings("vantrel", "vantrel").remove("layout");  // the next tests start afresh
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

// The transport and caption navigation buttons, which do nothing without a video, and with one
// show what is on the air and change nothing in the project; the steps' bounds at the ends of
// the video are the exact-seek tests'. Caption navigation does nothing while playing.
TEST_F(MainWindowTest, TransportAndCaptionNavigationButtons) {
    Add(10, 20);
    Add(30, 40);
    Add(60, 70);
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
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
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
        {-1, View::kStopButton, Stopped, false, false, 0},  // not showing the caption at 30
        {15, next, Stopped, false, false, 30},
        {60, next, Stopped, false, false, 60},
        {65, next, Stopped, false, false, 65},
        {65, previous, Stopped, false, false, 30},
        {45, previous, Stopped, false, false, 30},
        {-1, View::kStopButton, Stopped, false, false, 0},
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
        EXPECT_TRUE(s.frame < 0 || view_.CurrentFrame() == s.frame) << view_.CurrentFrame();
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
        ExpectOnAir();
        EXPECT_FALSE(view_.Project().modified);
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
// letting go shows the thumb's own frame, and a click on the groove the frame clicked.
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
    // A click on the groove away from the thumb seeks to the frame there.
    for (int value : {20, 110}) {
        QTest::mouseClick(&slider, Qt::LeftButton, {}, at(value));
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
        EXPECT_EQ(view_.CurrentFrame(), value);
        EXPECT_EQ(Shown(), value);
    }
}

// After each command the screen shows what is on the air, and only a real change marks the
// project: neither the transport nor keys that change nothing (a lone Ctrl before Ctrl+Q asked to
// save). A timeline click on its edge while playing plays on; past the end it pauses there.
TEST_F(MainWindowTest, EachCommandShowsWhatIsOnTheAirAndOnlyChangesMarkTheProject) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string video = test::NumberedVideo("m2v"),
                      demo = VANTREL_SOURCE_DIR "/resources/demo/demo.";
    TimelineWindow& timeline = view_.Timeline();
    const auto drag = [&](int frame, int dx) {  // the timeline's left edge is frame 0
        const QPoint at =
            timeline.contentsRect().topLeft() + QPoint(frame, timeline.BlockLanes().mid + 3);
        QTest::mousePress(&timeline, Qt::LeftButton, {}, at);
        QTest::mouseMove(&timeline, at + QPoint(dx, 0));
        ExpectOnAir();
        QTest::mouseRelease(&timeline, Qt::LeftButton, {}, at + QPoint(dx, 0));
    };
    const auto key = [&](Qt::Key k, Qt::KeyboardModifiers m) {
        QTest::keyClick(&view_.Captions(), k, m);
    };
    const struct {
        const char* what;
        int32_t from;
        bool changes;
        std::function<void()> act;
    } cases[] = {
        {"a timeline click in a gap", 15, false, [&] { drag(25, 0); }},
        {"a timeline click past the end", 15, false, [&] { drag(150, 0); }},
        {"playing, a click on the edge", 15, false, [&] { Click(View::kPlayButton), drag(-2, 0); }},
        {"playing, a click past the end", 15, false,
         [&] { Click(View::kPlayButton), drag(150, 0); }},
        {"a caption dragged from the playhead", 65, true, [&] { drag(65, 30); }},
        {"keys without an edit", 15, false,
         [&] {
             view_.Captions().setFocus(), key(Qt::Key_Control, Qt::ControlModifier);
             key(Qt::Key_X, Qt::AltModifier), key(Qt::Key_Left, {});
         }},
        {"an edit that changes nothing", 15, false,
         [&] { BeginTyping(""), key(Qt::Key_I, Qt::ControlModifier), timeline.setFocus(); }},
        {"import", 65, true, [&] { Menu(demo + "scc", "&Import Captions..."); }},
        {"open", 15, false, [&] { Menu(demo + "ccp", "&Open Caption Project..."); }},
        {"new", 15, false, [&] { Menu(video, "&New Caption Project..."); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Open(video);
        view_.ReleaseCaptions();
        view_.Project().captions.Clear();
        for (int32_t start : {10, 30, 60, 140})
            Add(start, start + 10, 5, start / 20);  // 140: past the end
        view_.Project().modified = false;
        view_.SeekToFrame(c.from);
        view_.ShowCaptionsAgain();
        c.act();
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
        ExpectOnAir();
        EXPECT_EQ(view_.Project().modified, c.changes);
        view_.Stop();
    }
}

// Add Caption inside a caption splits it after its loading where the next caption leaves room;
// in a gap or before every caption it opens the editor on a new empty caption at the playhead,
// up to the next caption's loading and two seconds at most, which enters the list once typed.
TEST_F(MainWindowTest, AddCaptionSplitsTheCaptionOnTheAirOrTypesANewOneInAGap) {
    // The frame, and the start and end of the new caption; start -1: a beep and no caption.
    const struct {
        int32_t frame, start, end;
        bool typed;
    } cases[] = {
        {5, -1, 0, false},   {12, 16, 20, false},  // keeps the copied end, after its start
        {50, 50, 95, true},  {97, -1, 0, false},   // up to the next caption's loading
        {205, -1, 0, false}, {300, 300, 360, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frame);
        view_.ReleaseCaptions();
        view_.History().Clear(true);
        view_.Project().captions.Clear();
        Add(10, 20);
        Add(100, 150);
        Add(200, 210);
        Add(211, 260);  // too close after 200-210 for a copy of it
        const int beeps = dialogs_.beeps;
        view_.SetCurrentFrame(c.frame);
        view_.ShowCaptionsAgain();
        Click(View::kAddCaptionButton);
        const bool adds = c.start >= 0;
        EXPECT_EQ(dialogs_.beeps, beeps + (adds ? 0 : 1));
        EXPECT_EQ(view_.Captions().IsEditing(), c.typed);
        if (c.typed) {
            EXPECT_EQ(view_.Panel().EndText(), QString::number(c.end));
            QTest::keyClicks(&view_.Captions(), "B");
            EXPECT_EQ(window_.UndoAction().text(), "&Undo Add Caption");
            view_.Captions().EndEdit();
        }
        EXPECT_EQ(view_.Project().captions.Count(), adds ? 5 : 4);
        EXPECT_EQ(view_.Project().modified, adds);
        if (!adds) continue;
        EXPECT_EQ(view_.History().UndoName(), c.typed ? kAddCaptionStep : kSplitCaptionStep);
        Caption* added = view_.Project().captions.CaptionAtOrBefore(c.start);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->startFrame, c.start);
        EXPECT_EQ(added->endFrame, c.end);
        EXPECT_EQ(added->cells[14][c.typed ? 4 : 0].character, c.typed ? 'B' : 'A');
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

    // Tools > Check Profile: one blank frame is no flash for broadcast, one for streaming, whose
    // gap the timing then leaves; the choice is the saved project's when it is opened again.
    Add(311, 340);
    EXPECT_EQ(list.topLevelItemCount(), 3);
    ASSERT_EQ(test::TriggerMenu(window_, "&Streaming (two blank frames)"), 1);
    EXPECT_EQ(view_.Project().captions.Gap(), 2);
    ASSERT_EQ(list.topLevelItemCount(), 4);
    EXPECT_EQ(list.topLevelItem(3)->text(3), "flash-gap");
    const QTemporaryDir folder;
    const std::string path = folder.filePath("streamed.ccp").toStdString();
    dialogs_.filesToSave = {path};
    view_.Files().SaveAs();
    window_.ShowProjectState();  // as every File command does
    view_.Files().New();
    window_.ShowProjectState();
    EXPECT_EQ(view_.Profile().name, "streaming");  // a new project keeps the one in force
    ASSERT_EQ(test::TriggerMenu(window_, "&Broadcast (one blank frame between captions)"), 1);
    EXPECT_EQ(view_.Project().captions.Gap(), 1);
    view_.Files().OpenProjectFile(path);
    window_.ShowProjectState();
    EXPECT_EQ(view_.Profile().name, "streaming");
    ASSERT_EQ(test::TriggerMenu(window_, "&Broadcast (one blank frame between captions)"), 1);
}

// The panel shows the caption on the air and sets its timing mode; View > Drop-Frame Timecodes
// relabels it and the label at once; Start, End and Duration take frames or a timecode.
TEST_F(MainWindowTest, PanelShowsTheCaptionSetsItsTimingAndFollowsTheDropFrameChoice) {
    PropertiesPanel& panel = view_.Panel();
    Add(10, 20);
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

    // Off comes last, as it was.
    Add(1800, 1900);
    view_.SetCurrentFrame(1850);
    view_.Captions().ResetAndShowFrame(1850);
    const struct {
        bool on;
        const char* label;
        const char* start;
    } labels[] = {{true, "(00:01:01;22)", "00:01:00;02"}, {false, "(00:01:01:20)", "00:01:00:00"}};
    for (const auto& k : labels) {
        window_.DropFrameAction().setChecked(k.on);
        EXPECT_EQ(view_.TimecodeLabel().text(), k.label);
        EXPECT_EQ(panel.StartTimecodeText(), k.start);
    }

    // Typed times inside the bounds of a timeline drag apply with Enter as one step; outside
    // them they are refused in the status bar, which names the bounds. Text that is no time
    // changes nothing.
    using F = PropertiesPanel::Field;
    const struct {
        F field;
        const char* text;
        int32_t start, end;
        const char* step;
        const char* refusal;
    } typed[] = {
        {F::Start, "130", 130, 190, kStartFrameStep, ""},
        {F::Start, "00:00:01:00", 30, 90, kStartFrameStep, ""},
        {F::Start, "21", 21, 81, kStartFrameStep, ""},     // after the Manual caption before
        {F::Start, "339", 339, 399, kStartFrameStep, ""},  // its 60 frames before the next
        {F::Start, "0", 100, 160, "",
         "Start Frame 0 not taken: this caption can start from frame 21 (00:00:00:21) to frame "
         "339 (00:00:11:09)"},
        {F::Start, "340", 100, 160, "", "can start from frame 21"},
        {F::End, "200", 100, 200, kEndFrameStep, ""},
        {F::End, "399", 100, 399, kEndFrameStep, ""},  // before the next caption
        {F::End, "00:01:00:00", 100, 160, "",
         "End Frame 1800 not taken: this caption can end from frame 101 (00:00:03:11) to frame "
         "399 (00:00:13:09)"},
        {F::Duration, "45", 100, 145, kDurationStep, ""},
        {F::Duration, "300", 100, 160, "",
         "Duration 300 not taken: this caption can last from 1 "
         "to 299 frames"},
        {F::Start, "1:2", 100, 160, "", ""},
        {F::End, "00:00:01:30", 100, 160, "", ""},
    };
    for (const auto& k : typed) {
        SCOPED_TRACE(k.text);
        while (view_.History().CanUndo()) view_.Undo();
        view_.History().Clear(true);
        view_.SetCurrentFrame(120);
        view_.ShowCaptionsAgain();
        QLineEdit& box = panel.Box(k.field);
        box.setFocus();
        box.selectAll();
        QTest::keyClicks(&box, k.text);
        QTest::keyClick(&box, Qt::Key_Return);
        EXPECT_EQ(c->startFrame, k.start);
        EXPECT_EQ(c->endFrame, k.end);
        EXPECT_EQ(view_.History().UndoName(), k.step);
        EXPECT_EQ(view_.History().StepCount(), *k.step ? 1u : 0u);
        EXPECT_EQ(panel.StartText(), QString::number(k.start));
        EXPECT_EQ(panel.EndText(), QString::number(k.end));
        EXPECT_EQ(panel.DurationText(), QString::number(k.end - k.start));
        const QString said = window_.statusBar()->currentMessage();
        EXPECT_EQ(said.isEmpty(), !*k.refusal) << said.toStdString();
        EXPECT_TRUE(said.contains(k.refusal)) << said.toStdString();
        window_.statusBar()->clearMessage();
    }
}

// Undo and Redo name their step; undo while typing ends the edit and undoes it whole; each
// moves the video to the caption it changed; back at the saved step the project is unmodified.
TEST_F(MainWindowTest, UndoAndRedoNameTheirStepAndGoToTheCaption) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("mp4"));
    Add(60, 90);
    view_.History().Clear(true);
    view_.SeekToFrame(70);
    BeginTyping("X");
    EXPECT_EQ(window_.UndoAction().text(), "&Undo Typing");
    const auto key = [this](int k, Qt::KeyboardModifiers m) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), m);
    };
    const auto typed = [this] {
        for (const CaptionCell& cell : view_.Project().captions.Head()->cells[0]) {
            if (cell.character == 'X') return uint8_t{'X'};
        }
        return uint8_t{0};
    };
    // Undo, redo, undo, redo by their keys.
    const std::pair<int, Qt::KeyboardModifiers> keys[] = {
        {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Y, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier}};
    bool undone = true;
    for (auto [k, modifiers] : keys) {
        view_.SeekToFrame(5);
        key(k, modifiers);
        EXPECT_FALSE(view_.Captions().IsEditing());
        EXPECT_EQ(typed(), undone ? 0 : 'X');
        EXPECT_EQ(view_.Project().modified, !undone);
        EXPECT_EQ(view_.CurrentFrame(), 60);
        EXPECT_EQ(view_.Panel().StartText(), "60");
        EXPECT_EQ(window_.UndoAction().text(), undone ? "&Undo" : "&Undo Typing");
        EXPECT_EQ(window_.RedoAction().text(), undone ? "&Redo Typing" : "&Redo");
        EXPECT_EQ(window_.RedoAction().isEnabled(), undone);
        undone = !undone;
    }
}

// New with a video open empties the list before the video closes: the caption screen holds
// no caption of the old list while the video is chosen (a freed one under ASan).
TEST_F(MainWindowTest, NewWithAVideoOpenHoldsNoCaptionOfTheOldList) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("mp4"));
    Add(0, 100);
    view_.SeekToFrame(10);
    int chosen = 0;
    dialogs_.answers = {Dialogs::Answer::No};  // not saved
    dialogs_.choosing = [&] {
        ++chosen;
        EXPECT_EQ(view_.Captions().ShownCaption(), nullptr);
        view_.Captions().ShowFrame(view_.CurrentFrame());
    };
    view_.Files().New();
    EXPECT_EQ(chosen, 1);
    EXPECT_TRUE(view_.Project().captions.Empty());
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

// Texts and frames of every caption, one line each; with `all` the end frame and timing too.
std::string Listing(const CaptionList& list, bool all = true) {
    std::string out;
    for (const Caption* c = list.Head(); c; c = c->next) {
        out += std::to_string(c->startFrame) + " " + test::Text(c) + "\n";
        if (all) out += std::to_string(c->endFrame) + " " + std::to_string(c->timingMode) + "\n";
    }
    return out;
}

// Typing past column 32 wraps onto new rows up to four; then typing and Enter are refused where
// the operator looks: the text and the caret stay, and the status bar says why. Menus open with
// Alt while typing.
TEST_F(MainWindowTest, TypingWhereThereIsNoRoomIsRefusedInTheStatusBar) {
    CaptionWindow& screen = view_.Captions();
    QTest::mouseClick(&screen, Qt::LeftButton, {},
                      test::OnScreen(screen, QPoint(48, 40 + 19 * 14)));
    std::string before;
    for (int k = 0; k < 200 && window_.statusBar()->currentMessage().isEmpty(); ++k) {
        before = test::Text(screen.Editing().editCopy.get());
        QTest::keyClicks(&screen, k % 5 == 4 ? " " : "w");
    }
    EXPECT_EQ(window_.statusBar()->currentMessage(),
              "No room on this row: the character was not typed");
    EXPECT_EQ(screen.Editing().editCopy->CountOccupiedRows(), 4);
    EXPECT_EQ(test::Text(screen.Editing().editCopy.get()), before);
    const auto caret = std::pair(screen.Editing().caretRow, screen.Editing().caretColumn);
    QTest::keyClick(&screen, Qt::Key_Return);
    EXPECT_EQ(window_.statusBar()->currentMessage(),
              "No room on the row below: Enter was not taken");
    EXPECT_EQ(std::pair(screen.Editing().caretRow, screen.Editing().caretColumn), caret);
    QTest::keyClick(&screen, Qt::Key_F, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QApplication::activePopupWidget()->close();
}

// The window's keys: Space plays and pauses, the speed keys, a transcript imported at the
// playhead, the steps and F9/F10 timing it through the core while the caption screen is not
// editing and typing (or nothing) while it is; the list of every menu key.
TEST_F(MainWindowTest, SpaceStepsAndTimingKeysWhenNotEditing) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
    const auto keys = [&](std::initializer_list<QKeyCombination> combinations) {
        for (QKeyCombination k : combinations)
            QTest::keyClick(&window_, k.key(), k.keyboardModifiers());
        test::WaitIdle(view_.Player());
    };
    // Off 1x, the status bar says the speed.
    const auto speedShown = [&] {
        for (const QLabel* label : window_.statusBar()->findChildren<QLabel*>())
            if (label->isVisible() && label->text().startsWith("Playback")) return label->text();
        return QString();
    };
    EXPECT_EQ(speedShown(), "");
    keys({Qt::Key_Space, Qt::Key_F8});  // playing at 2x: the ticks come twice as often
    EXPECT_EQ(view_.Player().Speed(), 2.0);
    EXPECT_EQ(view_.Ticks().PeriodMs(), 9);
    EXPECT_EQ(speedShown(), "Playback 2x");
    keys({Qt::Key_F7});
    EXPECT_EQ(speedShown(), "Playback 1.5x");
    keys({Qt::Key_F6, Qt::Key_Space});
    EXPECT_EQ(view_.CurrentPlayState(), PlayState::Paused);
    EXPECT_EQ(speedShown(), "");

    // A transcript of two blocks placed at 30; F9 there starts the first, F10 a second on ends
    // it, F9 two frames later starts the second; F10 at its start has nothing to end (a beep).
    view_.SeekToFrame(30);
    const std::string transcript = test::NumberedVideo("m2v") + ".txt";
    std::ofstream(transcript) << "First line\n\nSecond line\n";
    dialogs_.filesToOpen.push_back(transcript);
    view_.Files().ImportTranscript();
    window_.activateWindow();  // from the progress dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    const Caption* first = view_.Project().captions.Head();
    ASSERT_TRUE(first != nullptr && first->next != nullptr && first->next->startFrame == 90);
    keys({Qt::Key_F9, Qt::SHIFT | Qt::Key_Right, Qt::Key_F10, Qt::Key_Right, Qt::Key_Right,
          Qt::Key_F9, Qt::Key_F10});
    EXPECT_EQ(view_.CurrentFrame(), 62);
    EXPECT_EQ(std::vector<int32_t>({first->startFrame, first->endFrame, first->next->startFrame,
                                    first->next->endFrame}),
              std::vector<int32_t>({30, 60, 62, 122}));
    EXPECT_EQ(window_.UndoAction().text(), "&Undo Start at Playhead");
    EXPECT_TRUE(window_.statusBar()->currentMessage().startsWith("Not timed"));

    // While editing the keys type: Space is a space, F9 and Left do nothing else.
    QTest::mouseClick(&view_.Captions(), Qt::LeftButton, Qt::NoModifier, QPoint(48, 40));
    QTest::keyClicks(&view_.Captions(), "a b");
    for (Qt::Key k : {Qt::Key_F9, Qt::Key_Left}) QTest::keyClick(&view_.Captions(), k);
    EXPECT_EQ(view_.CurrentPlayState(), PlayState::Paused);
    const std::string text = test::Text(view_.Captions().Editing().editCopy.get());
    EXPECT_NE(text.find("a b"), std::string::npos) << text;
    EXPECT_EQ(dialogs_.beeps, 1);  // F10 at 62 alone

    // Help > Keyboard Shortcuts lists each key of the menus once.
    const ShortcutsDialog shortcuts(*window_.menuBar());
    for (const char* key : {"Space", "Shift+Right", "F9", "F11", "F4", "F8", "Ctrl+Z", "Alt+1"}) {
        EXPECT_EQ(shortcuts.Keys().findItems(key, Qt::MatchExactly | Qt::MatchRecursive).size(), 1);
    }
}

// The window's reading of the open video: peaks and shot changes start with the video, detection
// waits while it plays, imported shot changes take the place of those found, and closing stops
// everything.
TEST_F(MainWindowTest, MediaFeedReadsTheOpenVideoUntilItCloses) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const MediaAnalysis& analysis = view_.Media().Analysis();
    view_.OpenVideo(test::NumberedVideo("mp4"));
    ASSERT_TRUE(view_.HasVideo());
    view_.Play();
    EXPECT_TRUE(test::WaitFor([&] { return analysis.Peaks() != nullptr; }, 20000));
    view_.TogglePause();
    ASSERT_TRUE(test::WaitFor([&] { return analysis.Settled(); }, 20000));
    ASSERT_TRUE(analysis.Peaks()->Complete());
    EXPECT_EQ(analysis.ScoredFrames(), size_t{test::kTestFrames});

    QTemporaryDir dir;
    const std::string list = dir.filePath("cuts.txt").toStdString();
    std::ofstream(list) << "30\n00:00:02:00\nlater\n";
    dialogs_.filesToOpen.push_back(list);
    view_.ImportShotChanges();
    EXPECT_EQ(analysis.ShotChanges(), (std::vector<int32_t>{30, 60}));
    ASSERT_EQ(dialogs_.informed.size(), 1u);
    EXPECT_NE(dialogs_.informed[0].find("first line 3: \"later\""), std::string::npos);

    view_.CloseVideo();
    EXPECT_TRUE(analysis.Settled());
    EXPECT_EQ(analysis.Peaks(), nullptr);
    EXPECT_TRUE(analysis.ShotChanges().empty());
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
    const QPoint endOfRow = test::OnScreen(
        screen, QPoint(kTextLeft + kCellPitchX * 27 + 8, kTextTop + kCellPitchY * 13 + 9));
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
    EXPECT_EQ(test::Text(second), "Green text, held on screen until the next caption. Ol\xE9");
    EXPECT_EQ(Foreground(second->cells[13][30].attribute), 3) << "typed in the row's cyan";

    // Drag its display block 30 frames later.
    TimelineWindow& timeline = view_.Timeline();
    // The display blocks lie in the lower half of the band under the ruler.
    const QPoint at(timeline.contentsRect().left() + timeline.XOf(second->startFrame + 10),
                    timeline.contentsRect().top() + timeline.BlockLanes().mid + 3);
    QTest::mousePress(&timeline, Qt::LeftButton, {}, at);
    QTest::mouseMove(&timeline, at + QPoint(15, 0));
    QTest::mouseMove(&timeline, at + QPoint(30, 0));
    QTest::mouseRelease(&timeline, Qt::LeftButton, {}, at + QPoint(30, 0));
    EXPECT_EQ(second->startFrame, 180);
    Screenshot(window_, "demo-moved.png");
    // The move is one step; undo takes the caption and the video back, redo forward again.
    EXPECT_EQ(window_.UndoAction().text(), "&Undo Move Caption");
    for (auto [key, start] : {std::pair{Qt::CTRL | Qt::Key_Z, 150}, {Qt::CTRL | Qt::Key_Y, 180}}) {
        QTest::keySequence(&window_, QKeySequence(key));
        EXPECT_EQ(second->startFrame, start);
        EXPECT_EQ(view_.CurrentFrame(), start);
    }

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

// The caption commands through their menus and keys, without a video: Replace All from the find
// dialog as one step selecting what changed, a replacement outside 608 refused, Shift Times of
// every caption, merge and split, copy and paste through the clipboard's own type and its
// Scenarist text, and Alt+Down to the next caption's start.
TEST_F(MainWindowTest, CaptionCommandsFromTheirMenusAndKeys) {
    for (int32_t start : {100, 200, 300}) {
        Caption* c = Add(start, start + 60, 5, 14, 'a');
        for (int k = 0; k < 4; ++k) c->cells[14][2 + k] = {uint8_t(" cat"[k]), kDefaultAttribute};
    }
    view_.History().Clear(true);
    CaptionCommands& commands = window_.Commands();
    ASSERT_EQ(test::TriggerMenu(window_, "R&eplace..."), 1);
    EXPECT_TRUE(commands.Find().isVisible());
    commands.Find().FindField().setText("CAT");
    commands.Find().ReplaceField().setText("\u03B1");
    commands.ReplaceAll();
    EXPECT_EQ(test::Text(view_.Project().captions.Head()), "a cat");
    EXPECT_TRUE(window_.statusBar()->currentMessage().contains("U+03B1"));
    commands.Find().ReplaceField().setText("dog");
    commands.ReplaceAll();
    EXPECT_EQ(test::Text(view_.Project().captions.Head()->next->next), "a dog");
    EXPECT_EQ(window_.UndoAction().text(), "&Undo Replace All");
    EXPECT_EQ(view_.Table().SelectedCaptions().size(), 3u);

    dialogs_.choices = {1};
    dialogs_.texts = {"-00:00:00:10"};
    ASSERT_EQ(test::TriggerMenu(window_, "S&hift Times..."), 1);
    EXPECT_EQ(view_.Project().captions.Head()->startFrame, 90);

    std::vector<Caption*> all = view_.Table().SelectedCaptions();
    view_.Table().SelectCaptions({all[0], all[1]});
    ASSERT_EQ(test::TriggerMenu(window_, "&Merge Captions"), 1);
    EXPECT_EQ(view_.Project().captions.Count(), 2);
    ASSERT_EQ(test::TriggerMenu(window_, "&Split Caption at Row"), 1);
    EXPECT_EQ(view_.Project().captions.Count(), 3);
    EXPECT_EQ(test::Text(all[0]->next), "a dog");

    view_.Table().SelectCaptions({all[0]});
    ASSERT_EQ(test::TriggerMenu(window_, "&Copy Captions"), 1);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("Scenarist_SCC V1.0"));
    view_.GoToFrame(1000);
    ASSERT_EQ(test::TriggerMenu(window_, "&Paste Captions"), 1);
    ASSERT_EQ(view_.Project().captions.Count(), 4);
    EXPECT_EQ(view_.Project().captions.CaptionAt(1000)->SameScreen(*all[0]), true);
    view_.GoToFrame(0);
    QTest::keyClick(&window_, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(view_.CurrentFrame(), 90);
}

TEST_F(MainWindowTest, SpellingMarksWordsAndWalksTheProject) {
    std::string error;
    if (!HunspellSpeller::Open("en_US", error, DictionaryFolders())) GTEST_SKIP() << error;
    const char* const texts[] = {"teh dog", "a teh", "the cat"};
    for (int k = 0; k < 3; ++k) {
        Caption* c = Add(100 * (k + 1), 100 * (k + 1) + 60);
        for (int i = 0; texts[k][i] != '\0'; ++i)
            c->cells[14][i] = {uint8_t(texts[k][i]), kDefaultAttribute};
    }
    view_.Project().captions.NotifyChanged(kWholeList);
    view_.History().Clear(true);
    SpellingDialog& spelling = window_.Spelling();
    ASSERT_EQ(test::TriggerMenu(window_, "&Spelling..."), 1);
    EXPECT_FALSE(spelling.isVisible());
    EXPECT_TRUE(window_.statusBar()->currentMessage().contains("Spelling Language"));
    ASSERT_EQ(test::TriggerMenu(window_, "&English (United States)"), 1);
    ASSERT_EQ(view_.SpellingLanguage(), "en_US");

    // The list marks the captions with an unknown word and names it.
    CaptionTableModel& model = view_.Table().Model();
    auto text = [&](int row, int role) {
        return model.index(row, CaptionTableModel::kText).data(role);
    };
    EXPECT_TRUE(text(0, Qt::ForegroundRole).isValid());
    EXPECT_FALSE(text(2, Qt::ForegroundRole).isValid());
    EXPECT_TRUE(text(1, Qt::ToolTipRole).toString().endsWith("Not in the dictionary: teh"));
    // The screen draws red under "teh", nothing under "dog"; then the word of Spelling reversed.
    view_.GoToFrame(100);
    auto red = [&](int column) {
        const QRect box = CellBox(14, column);
        int count = 0;
        for (int x = box.left(); x <= box.right(); ++x) {
            for (int y : {box.bottom() - 1, box.bottom()}) {
                const QRgb p = view_.Captions().Image().pixel(x, y);
                count += qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
            }
        }
        return count;
    };
    EXPECT_EQ(std::tuple(red(0) > 0, red(2) > 0, red(4), red(6)), std::tuple(true, true, 0, 0));

    ASSERT_EQ(test::TriggerMenu(window_, "&Spelling..."), 1);
    EXPECT_TRUE(spelling.isVisible());
    EXPECT_EQ(spelling.WordLabel().text(), "teh");
    EXPECT_FALSE(spelling.Suggestions().findItems("the", Qt::MatchExactly).isEmpty());
    const QRgb cell = view_.Captions().Image().pixel(CellBox(14, 1).topLeft());
    EXPECT_GT(qGray(cell), 200);  // black caption background, reversed
    spelling.ChangeField().setText("the");
    spelling.Replace();
    EXPECT_EQ(test::Text(view_.Project().captions.Head()), "the dog");
    EXPECT_EQ(window_.UndoAction().text(), "&Undo Replace");
    EXPECT_EQ(std::pair(view_.CurrentFrame(), spelling.WordLabel().text()),
              std::pair(200, QString("teh")));
    spelling.IgnoreAll();
    EXPECT_FALSE(text(1, Qt::ForegroundRole).isValid());
    EXPECT_EQ(spelling.WordLabel().text(), "");
    spelling.hide();

    // F3 goes on from a caption being edited, the match reversed on the screen.
    window_.Commands().Find().FindField().setText("cat");
    view_.GoToFrame(100);
    view_.Captions().BeginEdit(14, 0);
    ASSERT_TRUE(view_.Captions().IsEditing());
    QTest::keyClick(&view_.Captions(), Qt::Key_F3);
    EXPECT_EQ(view_.CurrentFrame(), 300);
    EXPECT_GT(qGray(view_.Captions().Image().pixel(CellBox(14, 5).topLeft())), 200);
    EXPECT_LT(qGray(view_.Captions().Image().pixel(CellBox(14, 1).topLeft())), 50);
    ASSERT_EQ(test::TriggerMenu(window_, "&None"), 1);  // the next window starts without
    EXPECT_EQ(view_.Speller(), nullptr);
}

}  // namespace
}  // namespace vantrel
