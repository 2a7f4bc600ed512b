// Playing: the position moves on, and the end of the media pauses on its last frame.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "app/main_view.h"
#include "scripted_dialogs.h"
#include "test_media.h"

namespace vantrel {
namespace {

using test::kTestFrames;

class Playback : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        std::string path = test::NumberedVideo(GetParam());
        ASSERT_FALSE(path.empty());
        view_.OpenVideo(path);
        ASSERT_TRUE(view_.HasVideo());
        ASSERT_TRUE(test::WaitIdle(view_.Player()));
    }

    int Shown() { return test::ReadFrameNumber(view_.Video().grab().toImage()); }

    test::ScriptedDialogs dialogs_;
    MainView view_{dialogs_, nullptr, test::QuietPlayer()};
};

TEST_P(Playback, PlayingAdvancesThePositionAndPausingKeepsLabelAndPictureTogether) {
    view_.SeekToFrame(10);
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    view_.OnPlay();
    EXPECT_EQ(view_.PlayState, kPlaying);
    EXPECT_EQ(view_.Ticks().RunningId(), 1);
    int32_t last = view_.currentFrame;
    bool backwards = false;
    ASSERT_TRUE(test::WaitFor([&] {
        backwards = backwards || view_.currentFrame < last;
        last = view_.currentFrame;
        return view_.currentFrame >= 25;
    }));
    EXPECT_FALSE(backwards);
    view_.OnPause();
    EXPECT_EQ(view_.PlayState, kPaused);
    EXPECT_FALSE(view_.Ticks().Running());
    test::Pump(100);
    int64_t frame = view_.ToFrames(view_.Player().Position());
    EXPECT_GE(frame, 25);
    EXPECT_LT(frame, kTestFrames - 1);
    EXPECT_EQ(Shown(), frame);
    // Paused, the position holds.
    test::Pump(150);
    EXPECT_EQ(view_.ToFrames(view_.Player().Position()), frame);
}

TEST_P(Playback, TheEndPausesOnTheLastFrameAndIsReportedOnce) {
    QSignalSpy ends(&view_.Player(), &MediaPlayer::EndOfMedia);
    view_.SeekToFrame(kTestFrames - 25);
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    view_.OnPlay();
    ASSERT_TRUE(test::WaitFor([&] { return view_.PlayState == kPaused; }, 5000));
    test::Pump(300);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_EQ(view_.PlayState, kPaused);
    EXPECT_FALSE(view_.Ticks().Running());
    EXPECT_EQ(view_.currentFrame, kTestFrames - 1);
    EXPECT_EQ(view_.ToFrames(view_.Player().Position()), kTestFrames - 1);
    EXPECT_EQ(Shown(), kTestFrames - 1);
}

TEST_P(Playback, PlayingAtTheEndEndsAgainInsteadOfRunningOn) {
    QSignalSpy ends(&view_.Player(), &MediaPlayer::EndOfMedia);
    // From the frame before the last, where the decoder may already have met the end.
    view_.SeekToFrame(kTestFrames - 2);
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    view_.OnPlay();
    ASSERT_TRUE(test::WaitFor([&] { return view_.PlayState == kPaused; }, 5000));
    EXPECT_EQ(Shown(), kTestFrames - 1);
    view_.OnPause();  // paused: plays again
    ASSERT_TRUE(test::WaitFor([&] { return ends.count() == 2; }, 3000));
    EXPECT_EQ(view_.PlayState, kPaused);
    EXPECT_FALSE(view_.Ticks().Running());
    EXPECT_EQ(view_.currentFrame, kTestFrames - 1);
}

TEST_P(Playback, StopGoesBackToFrameZero) {
    view_.SeekToFrame(50);
    view_.OnPlay();
    test::Pump(100);
    view_.OnStop();
    EXPECT_EQ(view_.PlayState, kStopped);
    EXPECT_FALSE(view_.Ticks().Running());
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    EXPECT_EQ(view_.currentFrame, 0);
    EXPECT_EQ(view_.Player().Position(), 0);
    EXPECT_EQ(Shown(), 0);
}

INSTANTIATE_TEST_SUITE_P(Containers, Playback,
                         ::testing::Values("m2v", "mpg", "ts", "mp4", "mkv", "avi"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vantrel
