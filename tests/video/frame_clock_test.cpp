// Frame times to frame-exact positions: no frame is lost to rounding, however long the video.
#include "video/frame_clock.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantrel {
namespace {

constexpr double kNtsc = 30000.0 / 1001.0;

// The time of frame k in a 29.97 fps stream that starts at `origin`, as its pts says.
double FrameTime(double origin, int64_t k) {
    return origin + static_cast<double>(k) * 1001.0 / 30000.0;
}

TEST(FrameClock, EveryFrameOfAnHourLongVideoComesBackAsItsOwnIndex) {
    // A transport stream starting at 1.4 s; the view divides positions by 333667, truncating.
    FrameClock clock(1.433367, kNtsc, 108000);
    for (int64_t k = 0; k < 108000; k += 7) {
        int64_t frame = clock.FrameAt(FrameTime(1.433367, k));
        ASSERT_EQ(frame, k);
        ASSERT_EQ(FrameClock::PositionOfFrame(frame) / 333667, k);
        ASSERT_EQ(clock.FrameOfPosition(FrameClock::PositionOfFrame(k)), k);
    }
    EXPECT_EQ(clock.FrameAt(FrameTime(1.433367, 107999)), 107999);
    EXPECT_EQ(clock.Duration() / 333667, 108000);
}

TEST(FrameClock, MillisecondTimestampsOfMatroskaLandOnTheirFrames) {
    FrameClock clock(0.0, kNtsc, 20000);
    for (int64_t k = 0; k < 20000; ++k) {
        double rounded = std::round(FrameTime(0.0, k) * 1000.0) / 1000.0;
        ASSERT_EQ(clock.FrameAt(rounded), k) << "frame " << k;
    }
}

TEST(FrameClock, SeekTargetsFallBetweenTheFrameAndTheOneBefore) {
    // An exact seek shows the first frame at or after the target less 5 ms.
    const double slack = 0.005;
    for (double origin : {0.0, 0.033367, 1.433367}) {
        FrameClock clock(origin, kNtsc, 200000);
        for (int64_t k : {1, 2, 15, 1000, 107999, 199999}) {
            double target = clock.SeekTime(k);
            EXPECT_GT(target - slack, FrameTime(origin, k - 1) + 0.0005) << origin << " " << k;
            EXPECT_LE(target - slack, FrameTime(origin, k) - 0.0005) << origin << " " << k;
        }
        // Never negative: libmpv counts negative targets from the end.
        EXPECT_GE(clock.SeekTime(0), 0.0);
    }
}

TEST(FrameClock, PositionsAndTimesStayWithinTheVideo) {
    FrameClock clock(0.5, kNtsc, 120);
    EXPECT_EQ(clock.FrameAt(0.0), 0);
    EXPECT_EQ(clock.FrameAt(1000.0), 119);
    EXPECT_EQ(clock.FrameOfPosition(-333667 * 5), 0);
    EXPECT_EQ(clock.FrameOfPosition(clock.Duration() - 1), 119);
    EXPECT_EQ(clock.FrameOfPosition(clock.Duration() + 333667 * 9), 119);
    // A position inside a frame belongs to that frame.
    EXPECT_EQ(clock.FrameOfPosition(333667 * 7 + 333666), 7);
}

TEST(FrameClock, OtherFrameRatesCountTheirOwnFrames) {
    FrameClock pal(0.0, 25.0, 1000);
    EXPECT_EQ(pal.FrameAt(40 * 0.04), 40);
    EXPECT_EQ(pal.FrameAt(999 * 0.04), 999);
    EXPECT_NEAR(pal.SeekTime(40), 1.6 - 0.01, 1e-9);
}

}  // namespace
}  // namespace vantrel
