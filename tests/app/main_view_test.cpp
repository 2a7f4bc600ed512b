// The main view through its buttons, labels, slider and panel, in the real main window, on
// generated videos played without sound.
#include <gtest/gtest.h>

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <cstdlib>

#include "app/main_window.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {

using View = MainView;

class MainViewTest : public ::testing::Test {
  protected:
    void SetUp() override { window_.show(); }

    void Open(const std::string& path) {
        ASSERT_FALSE(path.empty());
        view_.OpenVideo(path);
        ASSERT_TRUE(view_.HasVideo());
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
    }
    bool NeedFfmpeg() { return test::HaveFfmpeg(); }

    void Click(View::Button b) { QTest::mouseClick(&view_.TransportButton(b), Qt::LeftButton); }
    bool Checked(View::Button b) { return view_.TransportButton(b).isChecked(); }

    // A Manual caption (its frames stay as given) with a letter on its last row and a known
    // loading time.
    Caption* Add(int32_t start, int32_t end, int32_t load = 5) {
        auto c = std::make_unique<Caption>();
        c->startFrame = start;
        c->endFrame = end;
        c->timingMode = Manual;
        c->cells[14][0] = {'A', 0x38};
        c->loadFrames = load;
        return view_.project.captions.Insert(std::move(c));
    }

    test::ScriptedDialogs dialogs_;
    MainWindow window_{&dialogs_, test::QuietPlayer()};
    MainView& view_ = window_.View();
};

TEST_F(MainViewTest, WithoutVideoNoTransportOrNavigationCommandDoesAnything) {
    Add(10, 20);
    Add(30, 40);
    view_.currentFrame = 15;
    view_.project.modified = false;
    for (int b = 0; b < View::kAddCaptionButton; ++b) {
        Click(View::Button(b));
        SCOPED_TRACE(b);
        EXPECT_EQ(view_.PlayState, kStopped);
        EXPECT_EQ(view_.currentFrame, 15);
        EXPECT_FALSE(view_.project.modified);
        EXPECT_FALSE(view_.Ticks().Running());
        EXPECT_FALSE(Checked(View::kPlayButton) || Checked(View::kPauseButton));
    }
    EXPECT_EQ(view_.FrameLabel().text(), "Frame 0/0");
    EXPECT_EQ(view_.TimecodeLabel().text(), "(00:00:00:00)");
}

TEST_F(MainViewTest, LabelsAndSliderFollowThePosition) {
    if (!NeedFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    struct Case {
        int frames;
        int32_t seek;
        const char* frameText;
        const char* timecode;
        int32_t step;
        int sliderMax;
    };
    const Case cases[] = {
        {1800, 0, "Frame 0/1800", "(00:00:00:00)", 1, 1800},
        {1800, 1799, "Frame 1799/1800", "(00:00:59:29)", 1, 1800},
        {9999, 9998, "Frame 9998/9999", "(00:05:33:08)", 1, 9999},
        {10000, 5001, "Frame 5001/10000", "(00:02:46:21)", 2, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameText);
        Open(test::GreyVideo(c.frames));
        view_.SeekToFrame(c.seek);
        EXPECT_EQ(view_.FrameLabel().text(), c.frameText);
        EXPECT_EQ(view_.TimecodeLabel().text(), c.timecode);
        EXPECT_EQ(view_.SliderStep, c.step);
        EXPECT_EQ(view_.Slider().maximum(), c.sliderMax);
        EXPECT_EQ(view_.Slider().value(), c.seek / c.step);
    }
}

TEST_F(MainViewTest, TransportButtonsAndTheirChecks) {
    if (!NeedFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
    const int32_t last = test::kTestFrames - 1;
    struct Step {
        int32_t from;  // seek here first (-1: stay)
        View::Button button;
        int state;
        bool play, pause;  // checked
        int32_t frame;     // after the command (-1: any)
    };
    const Step steps[] = {
        {-1, View::kPlayButton, kPlaying, true, false, -1},
        {-1, View::kPauseButton, kPaused, true, true, -1},
        {-1, View::kPauseButton, kPlaying, true, false, -1},  // pause toggles
        {-1, View::kStepForwardButton, kPaused, true, true, -1},
        {-1, View::kStopButton, kStopped, false, false, 0},
        {0, View::kStepBackButton, kStopped, false, false, 0},           // stays at the start
        {last, View::kStepForwardButton, kStopped, false, false, last},  // and at the end
        {50, View::kStepBackButton, kStopped, false, false, 49},
        {50, View::kStepForwardButton, kStopped, false, false, 51},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << "from " << s.from << ", button " << s.button);
        if (s.from >= 0) view_.SeekToFrame(s.from);
        Click(s.button);
        EXPECT_EQ(view_.PlayState, s.state);
        EXPECT_EQ(Checked(View::kPlayButton), s.play);
        EXPECT_EQ(Checked(View::kPauseButton), s.pause);
        EXPECT_EQ(view_.Ticks().Running(), s.state == kPlaying);
        if (s.frame >= 0) {
            EXPECT_EQ(view_.currentFrame, s.frame);
        }
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
    }
}

TEST_F(MainViewTest, HoldingFastForwardScansAndReleasingResumesPlaying) {
    if (!NeedFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
    for (bool playing : {false, true}) {
        SCOPED_TRACE(playing);
        view_.SeekToFrame(3);
        if (playing) view_.OnPlay();
        QToolButton& forward = view_.TransportButton(View::kFastForwardButton);
        QTest::mousePress(&forward, Qt::LeftButton);
        EXPECT_EQ(view_.PlayState, kScanning);
        // Each tick moves 17 frames on from where the last one left off.
        const int32_t pressed = view_.currentFrame;
        ASSERT_TRUE(test::WaitFor([&] { return view_.currentFrame != pressed; }));
        const int32_t first = view_.currentFrame;
        ASSERT_TRUE(test::WaitFor([&] { return view_.currentFrame != first; }));
        EXPECT_EQ(view_.currentFrame - first, 17);
        QTest::mouseRelease(&forward, Qt::LeftButton);
        EXPECT_EQ(view_.PlayState, playing ? kPlaying : kStopped);
        EXPECT_EQ(view_.Ticks().RunningId(), playing ? kPlaybackTickId : 0);
        view_.OnStop();
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
    }
}

// Dragging shows at once a frame near the thumb, which the labels and the position then give;
// letting go shows the thumb's own frame.
TEST_F(MainViewTest, DraggingTheSliderShowsNearFramesAndLettingGoTheExactOne) {
    if (!NeedFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("mp4"));  // groups of 30 pictures
    ASSERT_TRUE(test::WaitFor([&] { return view_.Player().Indexed(); }));
    QSlider& slider = view_.Slider();
    auto shown = [&] { return test::ReadFrameNumber(view_.Video().grab().toImage()); };
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
    view_.OnPlay();
    QTest::mousePress(&slider, Qt::LeftButton, {}, at(slider.value()));
    int inexact = 0;
    for (int value : {100, 101, 103, 40, 41, 115, 12}) {
        QTest::mouseMove(&slider, at(value));
        const int target = slider.sliderPosition();
        SCOPED_TRACE(target);
        EXPECT_EQ(view_.PlayState, kPaused);
        const int frame = shown();
        EXPECT_LE(std::abs(frame - target), 30);
        EXPECT_EQ(view_.currentFrame, frame);
        EXPECT_EQ(view_.ToFrames(view_.Player().Position()), frame);
        EXPECT_EQ(view_.FrameLabel().text(), QString("Frame %1/120").arg(frame));
        if (frame != target) ++inexact;
    }
    EXPECT_GT(inexact, 0) << "every frame was decoded exactly while dragging";
    QTest::mouseMove(&slider, at(77));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, at(77));
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    const int target = slider.value();
    EXPECT_EQ(shown(), target);
    EXPECT_EQ(view_.currentFrame, target);
    EXPECT_EQ(view_.ToFrames(view_.Player().Position()), target);
}

TEST_F(MainViewTest, CaptionNavigation) {
    if (!NeedFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Open(test::NumberedVideo("m2v"));
    Add(10, 20);
    Add(30, 40);
    Add(60, 70);
    struct Case {
        int32_t from;
        View::Button button;
        int32_t to;
    };
    const Case cases[] = {
        {0, View::kNextCaptionButton, 10},      {10, View::kNextCaptionButton, 30},
        {15, View::kNextCaptionButton, 30},     {60, View::kNextCaptionButton, 60},
        {65, View::kNextCaptionButton, 65},     {65, View::kPreviousCaptionButton, 30},
        {45, View::kPreviousCaptionButton, 30}, {80, View::kPreviousCaptionButton, 60},
        {15, View::kPreviousCaptionButton, 15},  // inside the first caption
        {5, View::kPreviousCaptionButton, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
        view_.SeekToFrame(c.from);
        Click(c.button);
        EXPECT_EQ(view_.currentFrame, c.to);
    }
    // Not while playing.
    view_.SeekToFrame(0);
    view_.OnPlay();
    const int32_t before = view_.currentFrame;
    view_.NextCaption();
    EXPECT_LT(view_.currentFrame, 10);
    EXPECT_GE(view_.currentFrame, before);
}

TEST_F(MainViewTest, AddCaptionCopiesTheCaptionBeforeWhereThereIsRoom) {
    struct Case {
        int32_t frame;
        int32_t start;  // of the new caption; -1: a beep and no caption
        int32_t end;
    };
    const Case cases[] = {
        {5, -1, 0},   {12, 16, 20},  // keeps the copied end, which is after its start
        {50, 50, 60}, {97, 94, 99},  // held before the next caption's loading
        {205, -1, 0}, {300, 300, 349},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        view_.ForgetShownCaption();
        view_.Timeline().ForgetCurrentCaption();
        view_.project.captions.Clear();
        Add(10, 20);
        Add(100, 150);
        Add(200, 210);
        Add(211, 260);  // too close after 200-210 for a copy of it
        const int count = view_.project.captions.Count();
        const int beeps = dialogs_.beeps;
        view_.currentFrame = c.frame;
        view_.project.modified = false;
        Click(View::kAddCaptionButton);
        if (c.start < 0) {
            EXPECT_EQ(dialogs_.beeps, beeps + 1);
            EXPECT_EQ(view_.project.captions.Count(), count);
            EXPECT_FALSE(view_.project.modified);
            continue;
        }
        EXPECT_EQ(view_.project.captions.Count(), count + 1);
        Caption* added = view_.project.captions.CaptionAtOrBefore(c.start);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->startFrame, c.start);
        EXPECT_EQ(added->endFrame, c.end);
        EXPECT_EQ(added->cells[14][0].character, 'A');
        EXPECT_TRUE(view_.project.modified);
    }
}

TEST_F(MainViewTest, PanelShowsTheCaptionAndSetsItsTimingMode) {
    PropertiesPanel& panel = view_.Panel();
    Caption* c = Add(100, 160);
    Add(400, 460);
    EXPECT_FALSE(panel.ModeButton(Manual).isEnabled());
    view_.currentFrame = 120;
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
        view_.project.modified = false;
        panel.ModeButton(mode).click();
        EXPECT_EQ(c->timingMode, mode);
        EXPECT_EQ(c->endFrame, end);
        EXPECT_EQ(panel.EndText(), QString::number(end));
        EXPECT_EQ(panel.CheckedMode(), mode);
        EXPECT_TRUE(view_.project.modified);
    }

    // Outside every caption the panel is cleared and a mode changes nothing.
    view_.currentFrame = 470;
    view_.Captions().ResetAndShowFrame(470);
    EXPECT_EQ(panel.StartText(), "");
    EXPECT_EQ(panel.CheckedMode(), 0);
    EXPECT_FALSE(panel.ModeButton(Normal).isEnabled());
    const int32_t end = c->endFrame;
    view_.project.modified = false;
    view_.SetTimingMode(Normal);
    EXPECT_EQ(c->timingMode, Manual);
    EXPECT_EQ(c->endFrame, end);
    EXPECT_FALSE(view_.project.modified);
}

}  // namespace
}  // namespace vantrel
