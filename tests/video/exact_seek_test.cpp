// Frame accuracy in every container: the frame the view counts is the frame on the screen.
#include <gtest/gtest.h>

#include <QTest>
#include <random>

#include "view_fixture.h"

namespace vantrel {
namespace {

using test::kTestFrames;

class ExactSeek : public test::ContainerFixture {
  protected:
    int64_t ReportedFrame() { return view_.ToFrames(view_.Player().Position()); }

    void ExpectAt(int frame, const std::string& how) {
        ASSERT_TRUE(test::WaitIdle(view_.Player())) << how;
        EXPECT_EQ(view_.currentFrame, frame) << how;
        EXPECT_EQ(ReportedFrame(), frame) << how;
        EXPECT_EQ(Shown(), frame) << how;
    }
};

TEST_P(ExactSeek, OpensPausedOnFrameZeroWithTheRightLength) {
    EXPECT_EQ(view_.project.videoPath, path_);
    EXPECT_EQ(view_.PlayState, kStopped);
    EXPECT_EQ(view_.FrameDuration, 333667);
    EXPECT_EQ(view_.DurationFrames(), kTestFrames);
    EXPECT_EQ(view_.ToFrames(view_.Player().Duration()), kTestFrames);
    ExpectAt(0, "after opening");
}

TEST_P(ExactSeek, RandomSeeksShowAndReportTheRequestedFrame) {
    std::mt19937 random(20240611u + static_cast<unsigned>(GetParam().size()));
    std::uniform_int_distribution<int> frames(0, kTestFrames - 1);
    for (int i = 0; i < 20; ++i) {
        int frame = frames(random);
        view_.SeekToFrame(frame);
        ExpectAt(frame, "seek " + std::to_string(i) + " to frame " + std::to_string(frame));
    }
}

TEST_P(ExactSeek, StepsShowTheNeighbours) {
    // Around group-of-pictures boundaries and at a random place.
    std::mt19937 random(7u + static_cast<unsigned>(GetParam().size()));
    std::uniform_int_distribution<int> frames(2, kTestFrames - 3);
    for (int frame : {15, 30, 61, frames(random)}) {
        view_.SeekToFrame(frame);
        ExpectAt(frame, "seek to " + std::to_string(frame));
        view_.StepFrames(+1);
        ExpectAt(frame + 1, "one forward from " + std::to_string(frame));
        view_.StepFrames(-1);
        view_.StepFrames(-1);
        ExpectAt(frame - 1, "two back from " + std::to_string(frame + 1));
    }
}

TEST_P(ExactSeek, PlayAndPauseHandOverInTheMiddleOfAGroupAndStepsGoBackThroughWholeGroups) {
    for (int frame : {37, 82}) {
        view_.SeekToFrame(frame);
        view_.StepFrames(-1);
        ExpectAt(frame - 1, "before playing from " + std::to_string(frame - 1));
        view_.OnPlay();
        // Playback goes on from the frame on screen, not from where libmpv last stood.
        int64_t earliest = ReportedFrame();
        ASSERT_TRUE(test::WaitFor([&] {
            earliest = std::min(earliest, ReportedFrame());
            return ReportedFrame() >= frame + 4;
        }));
        EXPECT_EQ(earliest, frame - 1);
        view_.OnPause();
        test::Pump(50);
        const int paused = static_cast<int>(ReportedFrame());
        EXPECT_LT(paused, frame + 30);
        EXPECT_EQ(Shown(), paused) << "paused after playing from " << frame - 1;
        for (int back = 1; back <= 32; ++back) {
            view_.StepFrames(-1);
            ExpectAt(paused - back, std::to_string(back) + " back from " + std::to_string(paused));
        }
        view_.StepFrames(+1);
        ExpectAt(paused - 31, "forward again");
    }
}

TEST_P(ExactSeek, SeeksOutsideTheVideoStopAtItsEnds) {
    view_.SeekToFrame(kTestFrames + 500);
    ExpectAt(kTestFrames - 1, "seek past the end");
    view_.StepFrames(+1);
    ExpectAt(kTestFrames - 1, "step forward at the last frame");
    view_.SeekToFrame(-20);
    ExpectAt(0, "seek before the start");
    view_.StepFrames(-1);
    ExpectAt(0, "step back at frame 0");
}

// The timeline under the video: a click on its empty space seeks there, and its marker follows.
TEST(ExactSeekTimeline, AClickOnTheTimelineSeeksThere) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    test::ScriptedDialogs dialogs;
    MainView view(dialogs, nullptr, test::QuietPlayer());
    view.resize(794, 500);
    view.show();
    view.OpenVideo(test::NumberedVideo("m2v"));
    TimelineWindow& timeline = view.Timeline();
    ASSERT_GT(timeline.ViewWidth(), kTestFrames);
    QTest::mouseClick(&timeline, Qt::LeftButton, {}, QPoint(2 + 77, 2 + timeline.ViewHeight() / 2));
    ASSERT_TRUE(test::WaitIdle(view.Player()));
    EXPECT_EQ(test::ReadFrameNumber(view.Video().grab().toImage()), 77);
    EXPECT_EQ(timeline.grab().toImage().pixel(2 + 77, 3) & 0xFFFFFF, 0xFF0000u);
}

// With and without waiting for the frame index: a long file opens before its index is done,
// libmpv measures its length, and the index takes over when it is ready.
TEST(ExactSeekLength, SoundThatOutlastsThePicturesDoesNotAddFramesWithOrWithoutTheIndex) {
    if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    for (const char* extension : {"mpg", "mkv"}) {
        for (int waitMs : {2000, 0}) {
            std::string how = std::string(extension) + " wait " + std::to_string(waitMs);
            std::string path = test::NumberedVideo(extension, true);
            ASSERT_FALSE(path.empty()) << extension;
            test::ScriptedDialogs dialogs;
            MainView view(dialogs, nullptr, test::QuietPlayer());
            view.Player().SetIndexWait(std::chrono::milliseconds(waitMs));
            view.OpenVideo(path);
            EXPECT_EQ(view.DurationFrames(), kTestFrames) << how;
            for (int frame : {kTestFrames - 1, 50}) {
                view.SeekToFrame(frame);
                ASSERT_TRUE(test::WaitIdle(view.Player()));
                EXPECT_EQ(test::ReadFrameNumber(view.Video().grab().toImage()), frame) << how;
                // The index is ready for the second seek.
                ASSERT_TRUE(test::WaitFor([&] { return view.Player().Indexed(); })) << how;
            }
            EXPECT_EQ(view.DurationFrames(), kTestFrames) << how;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, ExactSeek,
                         ::testing::Values("m2v", "mpg", "ts", "mp4", "mkv", "avi"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vantrel
