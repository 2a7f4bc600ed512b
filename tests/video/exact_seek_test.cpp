// Frame accuracy in every container: the frame the view counts is the frame on the screen,
// paused, playing and at the end. The ticks that drive playback and scanning: one source at a
// time, one tick at a time, and none after a stop (the view's scan is the main window's test).
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

#include "test_media.h"

namespace vantrel {
namespace {
using enum PlayState;

using test::kTestFrames;

class ExactSeek : public test::ContainerFixture {
  protected:
    int64_t ReportedFrame() { return view_.ToFrames(view_.Player().Position()); }

    void ExpectAt(int frame, const std::string& how) {
        ASSERT_TRUE(test::WaitIdle(view_.Player())) << how;
        EXPECT_EQ(view_.CurrentFrame(), frame) << how;
        EXPECT_EQ(ReportedFrame(), frame) << how;
        EXPECT_EQ(Shown(), frame) << how;
    }
};

// Seeks to group-of-pictures boundaries, outside the video and to random frames, each followed
// by steps forward and back: the frame is exact everywhere and held at the ends.
TEST_P(ExactSeek, OpensOnFrameZeroAndSeeksAndStepsShowAndReportTheirFrame) {
    EXPECT_EQ(view_.Project().videoPath, path_);
    EXPECT_EQ(view_.CurrentPlayState(), Stopped);
    EXPECT_EQ(view_.ToMedia(1), 333667);
    EXPECT_EQ(view_.DurationFrames(), kTestFrames);
    EXPECT_EQ(view_.ToFrames(view_.Player().Duration()), kTestFrames);
    ExpectAt(0, "after opening");
    std::mt19937 random(20240611u + static_cast<unsigned>(GetParam().size()));
    std::uniform_int_distribution<int> anywhere(0, kTestFrames - 1);
    std::vector<int> targets{15, 30, 61, kTestFrames + 500, -20};
    for (int i = 0; i < 12; ++i) targets.push_back(anywhere(random));
    for (int target : targets) {
        const std::string how = "seek to " + std::to_string(target);
        const int at = std::clamp(target, 0, kTestFrames - 1);
        const int next = std::min(at + 1, kTestFrames - 1);
        view_.SeekToFrame(target);
        ExpectAt(at, how);
        view_.StepFrames(+1);
        ExpectAt(next, how + ", one forward");
        view_.StepFrames(-1);
        view_.StepFrames(-1);
        ExpectAt(std::max(next - 2, 0), how + ", two back");
    }
}

// Playback goes on from the frame on screen, not from where libmpv last stood, and only forward;
// the pause shows and holds the frame it reports; steps then go back through whole groups.
TEST_P(ExactSeek, PlayAndPauseHandOverInTheMiddleOfAGroupAndStepsGoBackThroughWholeGroups) {
    for (int frame : {37, 82}) {
        view_.SeekToFrame(frame);
        view_.StepFrames(-1);
        ExpectAt(frame - 1, "before playing from " + std::to_string(frame - 1));
        view_.Play();
        EXPECT_TRUE(view_.Ticks().Running());
        int64_t earliest = ReportedFrame();
        int32_t last = view_.CurrentFrame();
        bool backwards = false;
        ASSERT_TRUE(test::WaitFor([&] {
            earliest = std::min(earliest, ReportedFrame());
            backwards = backwards || view_.CurrentFrame() < last;
            last = view_.CurrentFrame();
            return ReportedFrame() >= frame + 4;
        }));
        EXPECT_EQ(earliest, frame - 1);
        EXPECT_FALSE(backwards);
        view_.TogglePause();
        EXPECT_EQ(view_.CurrentPlayState(), Paused);
        EXPECT_FALSE(view_.Ticks().Running());
        test::Pump(50);
        const int paused = static_cast<int>(ReportedFrame());
        EXPECT_LT(paused, frame + 30);
        EXPECT_EQ(Shown(), paused) << "paused after playing from " << frame - 1;
        test::Pump(150);
        EXPECT_EQ(ReportedFrame(), paused) << "paused, the position holds";
        for (int back = 1; back <= 32; ++back) {
            view_.StepFrames(-1);
            ExpectAt(paused - back, std::to_string(back) + " back from " + std::to_string(paused));
        }
        view_.StepFrames(+1);
        ExpectAt(paused - 31, "forward again");
    }
}

// Each end pauses on the last frame, shown, and is reported once: after the window thread was
// too busy to take frames (libmpv drops them, and the last one must still be shown); from the
// frame before the last, where the decoder may already have met the end; and playing again at
// the end, which ends again instead of running on.
TEST_P(ExactSeek, TheEndPausesOnTheLastFrameAndIsReportedOnce) {
    QSignalSpy ends(&view_.Player(), &MediaPlayer::EndOfMedia);
    int expected = 0;
    for (int from : {kTestFrames - 30, kTestFrames - 2, -1}) {
        SCOPED_TRACE(from);
        if (from < 0) {
            view_.TogglePause();  // paused: plays again
        } else {
            view_.SeekToFrame(from);
            ASSERT_TRUE(test::WaitIdle(view_.Player()));
            view_.Play();
        }
        if (from == kTestFrames - 30) {
            test::Pump(100);
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        }
        ++expected;
        ASSERT_TRUE(test::WaitFor(
            [&] { return ends.count() == expected && view_.CurrentPlayState() == Paused; }, 5000));
        test::Pump(300);
        EXPECT_EQ(ends.count(), expected);
        EXPECT_EQ(view_.CurrentPlayState(), Paused);
        EXPECT_FALSE(view_.Ticks().Running());
        EXPECT_EQ(view_.CurrentFrame(), kTestFrames - 1);
        EXPECT_EQ(ReportedFrame(), kTestFrames - 1);
        EXPECT_EQ(Shown(), kTestFrames - 1);
    }
}

using ExactSeekTimeline = test::ViewFixture;
TEST_F(ExactSeekTimeline, AClickOnTheTimelineSeeksThere) {
    view_.show();
    view_.OpenVideo(test::NumberedVideo("m2v"));
    TimelineWindow& timeline = view_.Timeline();
    ASSERT_GT(timeline.ViewWidth(), kTestFrames);
    QTest::mouseClick(&timeline, Qt::LeftButton, {}, QPoint(2 + 77, 2 + timeline.ViewHeight() / 2));
    ASSERT_TRUE(test::WaitIdle(view_.Player()));
    EXPECT_EQ(Shown(), 77);
    EXPECT_EQ(timeline.grab().toImage().pixel(2 + 77, 3) & 0xFFFFFF, 0xFF0000u);
}

// With and without waiting for the frame index: seeks before it is done are exact too, and the
// count it gives leaves out the sound's extra seconds.
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
            for (int frame : {kTestFrames - 1, 50}) {
                view.SeekToFrame(frame);
                ASSERT_TRUE(test::WaitIdle(view.Player()));
                EXPECT_EQ(test::ReadFrameNumber(test::ShownPicture(view.Video())), frame) << how;
                ASSERT_TRUE(test::WaitFor([&] { return view.Player().Indexed(); })) << how;
            }
            EXPECT_EQ(view.DurationFrames(), kTestFrames) << how;
        }
    }
}

// A long programme: the window's events go on while it opens and is indexed (a 20 ms timer is
// never late by more than 100 ms); seeks beyond the part indexed so far are exact (libmpv's),
// and so are those after the index has taken over.
class LongProgramme : public test::ViewFixture {
  protected:
    static constexpr int kLoops = 600;
    static constexpr int kFrames = kLoops * kTestFrames;
    void SetUp() override {
        ViewFixture::SetUp();
        if (IsSkipped()) return;
        path_ = test::LoopedVideo(kLoops);
        ASSERT_FALSE(path_.empty());
        view_.Player().SetIndexCacheFolder("");  // each test indexes the file afresh
    }
    std::string path_;
};

TEST_F(LongProgramme, TheWindowKeepsHandlingEventsWhileItOpensAndIsIndexed) {
    // Three hours and more, whose index takes a while. How late a tick may be is a
    // benchmark's question (the machine's load decides it); here the loop must go on turning.
    constexpr int kLongLoops = 3000;
    const std::string path = test::LoopedVideo(kLongLoops);
    ASSERT_FALSE(path.empty());
    int ticksWhileIndexing = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (view_.HasVideo() && !view_.Player().Indexed()) ++ticksWhileIndexing;
    });
    timer.start(5);
    view_.OpenVideo(path);
    ASSERT_TRUE(view_.HasVideo());
    ASSERT_TRUE(test::WaitFor([&] { return view_.Player().Indexed(); }, 60000));
    EXPECT_EQ(view_.DurationFrames(), kLongLoops * kTestFrames);
    EXPECT_GE(ticksWhileIndexing, 3);
}

TEST_F(LongProgramme, SeeksBeyondThePartIndexedAreExactAndSoAreThoseOnceItIsDone) {
    view_.Player().HoldIndexAt(1);
    view_.OpenVideo(path_);
    ASSERT_TRUE(test::WaitFor([&] { return view_.Player().IndexedFrames() > 0; }));
    const int64_t indexed = view_.Player().IndexedFrames();
    ASSERT_LT(indexed, kFrames / 4);
    EXPECT_FALSE(view_.Player().Indexed());
    const int64_t targets[] = {indexed + 7, kFrames / 2 + 61, kFrames / 3, 15};
    for (bool done : {false, true}) {
        for (int64_t target : targets) {
            view_.SeekToFrame(static_cast<int32_t>(target));
            ASSERT_TRUE(test::WaitIdle(view_.Player()));
            EXPECT_EQ(view_.CurrentFrame(), target) << done;
            EXPECT_EQ(Shown(), target % kTestFrames) << target << (done ? " indexed" : "");
            view_.StepFrames(-1);
            ASSERT_TRUE(test::WaitIdle(view_.Player()));
            EXPECT_EQ(Shown(), (target - 1) % kTestFrames) << target << (done ? " indexed" : "");
        }
        EXPECT_EQ(view_.Player().IndexedFrames(), done ? kFrames : indexed);
        view_.Player().HoldIndexAt(INT64_MAX);
        ASSERT_TRUE(test::WaitFor([&] { return view_.Player().Indexed(); }, 60000));
    }
}

TEST(PlaybackTicks, StartingANewSourceEndsTheOldOneAndNoTickArrivesOnceTheStopHasReturned) {
    std::vector<int> ids;
    PlaybackTicks source;
    source.Start([&] { ids.push_back(1); }, kPlaybackTickMs);
    ASSERT_TRUE(test::WaitFor([&] { return ids.size() >= 2; }, 2000));
    source.Start([&] { ids.push_back(2); }, 30);
    const size_t switched = ids.size();
    test::Pump(250);
    ASSERT_GT(ids.size(), switched);
    for (size_t i = switched; i < ids.size(); ++i) EXPECT_EQ(ids[i], 2);
    EXPECT_TRUE(source.Running());
    source.Stop();
    const size_t atStop = ids.size();
    test::Pump(200);
    EXPECT_EQ(ids.size(), atStop);
    EXPECT_FALSE(source.Running());
}

TEST(PlaybackTicks, ASourceStoppedFromItsOwnTickSendsNoMore) {
    int ticks = 0;
    PlaybackTicks source;
    source.Start(
        [&] {
            ++ticks;
            source.Stop();
        },
        10);
    test::Pump(200);
    EXPECT_EQ(ticks, 1);
}

TEST(PlaybackTicks, TwoSourcesNeverDeliverAtOnce) {
    // A receiver that runs the event loop for longer than the periods, and starts a faster
    // source from inside its first tick: no tick may arrive while it is still busy.
    bool inside = false;
    int overlaps = 0;
    int ticks = 0;
    PlaybackTicks source;
    std::function<void(bool)> tick = [&](bool first) {
        if (inside) ++overlaps;
        inside = true;
        ++ticks;
        if (first) source.Start([&] { tick(false); }, 5);
        test::Pump(40);
        inside = false;
    };
    source.Start([&] { tick(true); }, kPlaybackTickMs);
    test::Pump(400);
    source.Stop();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(overlaps, 0);
}

INSTANTIATE_TEST_SUITE_P(Containers, ExactSeek,
                         ::testing::Values("m2v", "mpg", "ts", "mp4", "mkv", "avi"),
                         [](const auto& info) { return info.param; });

}  // namespace
}  // namespace vantrel
