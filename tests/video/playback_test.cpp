// Playing: the position moves on, and the end of the media pauses on its last frame.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <chrono>
#include <thread>

#include "view_fixture.h"

namespace vantrel {
namespace {

using test::kTestFrames;

using Playback = test::ContainerFixture;

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

// A busy window thread takes no frames; libmpv drops them, and the last one must still be shown.
TEST_P(Playback, TheEndShowsTheLastFrameAfterTheWindowWasTooBusyToTakeFrames) {
    view_.SeekToFrame(kTestFrames - 30);
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    view_.OnPlay();
    test::Pump(100);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(test::WaitFor([&] { return view_.PlayState == kPaused; }, 5000));
    EXPECT_EQ(view_.currentFrame, kTestFrames - 1);
    EXPECT_EQ(Shown(), kTestFrames - 1);
}

INSTANTIATE_TEST_SUITE_P(Containers, Playback,
                         ::testing::Values("m2v", "mpg", "ts", "mp4", "mkv", "avi"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vantrel
