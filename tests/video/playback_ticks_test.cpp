// The ticks that drive playback and scanning: one source at a time, one tick at a time, and
// none after a stop.
#include "video/playback_ticks.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "view_fixture.h"

namespace vantrel {
namespace {

TEST(PlaybackTicks, NoTickArrivesOnceTheStopHasReturned) {
    int ticks = 0;
    PlaybackTicks source([&](int) { ++ticks; });
    source.Start(kPlaybackTickId, kPlaybackTickMs);
    ASSERT_TRUE(test::WaitFor([&] { return ticks >= 3; }, 2000));
    source.Stop();
    int atStop = ticks;
    test::Pump(200);
    EXPECT_EQ(ticks, atStop);
    EXPECT_FALSE(source.Running());
}

TEST(PlaybackTicks, ASourceStoppedFromItsOwnTickSendsNoMore) {
    int ticks = 0;
    PlaybackTicks* self = nullptr;
    PlaybackTicks source([&](int) {
        ++ticks;
        self->Stop();
    });
    self = &source;
    source.Start(kScanForwardTickId, 10);
    test::Pump(200);
    EXPECT_EQ(ticks, 1);
}

TEST(PlaybackTicks, StartingANewSourceEndsTheOldOne) {
    std::vector<int> ids;
    PlaybackTicks source([&](int id) { ids.push_back(id); });
    source.Start(kPlaybackTickId, kPlaybackTickMs);
    ASSERT_TRUE(test::WaitFor([&] { return ids.size() >= 2; }, 2000));
    source.Start(kScanBackwardTickId, 30);
    size_t switched = ids.size();
    test::Pump(250);
    ASSERT_GT(ids.size(), switched);
    for (size_t i = switched; i < ids.size(); ++i) EXPECT_EQ(ids[i], kScanBackwardTickId);
    EXPECT_EQ(source.RunningId(), kScanBackwardTickId);
}

TEST(PlaybackTicks, TwoSourcesNeverDeliverAtOnce) {
    // A receiver that runs the event loop for longer than the periods, and starts a faster
    // source from inside its first tick: no tick may arrive while it is still busy.
    bool inside = false;
    int overlaps = 0;
    int ticks = 0;
    PlaybackTicks* self = nullptr;
    PlaybackTicks source([&](int id) {
        if (inside) ++overlaps;
        inside = true;
        ++ticks;
        if (id == kPlaybackTickId) self->Start(kScanForwardTickId, 5);
        test::Pump(40);
        inside = false;
    });
    self = &source;
    source.Start(kPlaybackTickId, kPlaybackTickMs);
    test::Pump(400);
    source.Stop();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(overlaps, 0);
}

class ViewTicks : public ::testing::Test, public test::ViewFixture {
  protected:
    void SetUp() override {
        if (!test::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    }
};

TEST_F(ViewTicks, ScanningMovesSeventeenFramesATickStopsAtTheEndAndGoesBackToPlaying) {
    view_.OpenVideo(test::NumberedVideo("mp4"));
    ASSERT_TRUE(view_.HasVideo());
    view_.SeekToFrame(5);
    view_.BeginScan(true);
    EXPECT_EQ(view_.PlayState, kScanning);
    EXPECT_EQ(view_.Ticks().RunningId(), kScanForwardTickId);
    ASSERT_TRUE(test::WaitFor([&] { return view_.currentFrame >= 5 + 2 * 17; }, 3000));
    EXPECT_EQ((view_.currentFrame - 5) % 17, 0);
    // At the end the clamp stops the ticks; the view stays scanning until the button is let go.
    ASSERT_TRUE(test::WaitFor([&] { return !view_.Ticks().Running(); }, 3000));
    EXPECT_EQ(view_.currentFrame, test::kTestFrames - 1);
    EXPECT_EQ(view_.PlayState, kScanning);
    view_.EndScan();
    EXPECT_EQ(view_.PlayState, kStopped);
    EXPECT_FALSE(view_.Ticks().Running());

    // Scanning back from playback, and letting go plays on.
    view_.SeekToFrame(80);
    view_.OnPlay();
    view_.BeginScan(false);
    EXPECT_EQ(view_.Ticks().RunningId(), kScanBackwardTickId);
    ASSERT_TRUE(test::WaitFor([&] { return view_.currentFrame <= 80 - 17; }, 3000));
    view_.EndScan();
    EXPECT_EQ(view_.PlayState, kPlaying);
    EXPECT_EQ(view_.Ticks().RunningId(), kPlaybackTickId);
    view_.OnStop();
    EXPECT_FALSE(view_.Ticks().Running());
}

}  // namespace
}  // namespace vantrel
