// Timing modes: end frames derived from content and the next caption, and moving a start.
#include <gtest/gtest.h>

#include <limits>

#include "model/caption.h"

namespace vantrel {
namespace {

struct Pair {
    Caption c;
    Caption next;
    Pair(int8_t mode, int32_t start, int rows) {
        c.timingMode = mode;
        c.startFrame = start;
        for (int r = 0; r < rows; ++r) c.cells[14 - r][0] = {'A', 0x38};
    }
    void Link(int32_t nextStart) {
        next.startFrame = nextStart;
        c.next = &next;
        next.prev = &c;
    }
};

TEST(TimingModes, NormalIsTwoSecondsPerRowButBeforeTheNext) {
    Pair p(Normal, 100, 2);
    p.c.ApplyTiming();
    EXPECT_EQ(p.c.endFrame, 220);
    p.Link(400);
    p.c.ApplyTiming();
    EXPECT_EQ(p.c.endFrame, 220);
    p.Link(200);
    p.c.ApplyTiming();
    EXPECT_EQ(p.c.endFrame, 199);

    Pair empty(Normal, 100, 0);
    empty.c.ApplyTiming();
    EXPECT_EQ(empty.c.endFrame, 100);
}

TEST(TimingModes, PersistentSeamlessManualAndUnknown) {
    Pair persistent(Persistent, 100, 1);
    persistent.c.ApplyTiming();
    EXPECT_EQ(persistent.c.endFrame, 129);
    persistent.Link(150);
    persistent.c.ApplyTiming();
    EXPECT_EQ(persistent.c.endFrame, 149);

    Pair seamless(Seamless, 100, 1);
    seamless.c.ApplyTiming();
    EXPECT_EQ(seamless.c.endFrame, 130);
    seamless.Link(150);
    seamless.c.ApplyTiming();
    EXPECT_EQ(seamless.c.endFrame, 150);

    Pair manual(Manual, 100, 1);
    manual.c.endFrame = 300;
    manual.Link(250);
    manual.c.ApplyTiming();
    EXPECT_EQ(manual.c.endFrame, 249);
    manual.c.endFrame = 300;
    manual.Link(400);
    manual.c.ApplyTiming();
    EXPECT_EQ(manual.c.endFrame, 300);

    Pair odd(7, 100, 1);
    odd.c.endFrame = 12345;
    odd.Link(150);
    odd.c.ApplyTiming();
    EXPECT_EQ(odd.c.endFrame, 12345);
}

TEST(TimingModes, ExtremeFramesDoNotOverflow) {
    const int32_t max = std::numeric_limits<int32_t>::max();
    Pair p(Normal, max - 10, 15);
    p.c.ApplyTiming();
    EXPECT_EQ(p.c.endFrame, max - 1);
    Pair s(Persistent, 0, 1);
    s.Link(std::numeric_limits<int32_t>::min());
    s.c.ApplyTiming();
    EXPECT_EQ(s.c.endFrame, std::numeric_limits<int32_t>::min());
}

TEST(TimingModes, MoveStartAdjustsPreviousAndClampsDuration) {
    Caption prev;
    prev.timingMode = Seamless;
    prev.startFrame = 100;
    prev.endFrame = 300;
    Caption c;
    c.timingMode = Normal;
    c.startFrame = 300;
    c.endFrame = 500;
    c.prev = &prev;
    prev.next = &c;
    c.MoveStart(500);
    EXPECT_EQ(prev.endFrame, 500);
    EXPECT_EQ(c.startFrame, 500);
    EXPECT_EQ(c.endFrame, 620);

    prev.timingMode = Persistent;
    c.endFrame = 501;  // duration 1 is raised to 3
    c.MoveStart(400);
    EXPECT_EQ(prev.endFrame, 399);
    EXPECT_EQ(c.endFrame, 403);

    Caption next;
    next.startFrame = 900;
    c.next = &next;
    c.timingMode = Seamless;
    prev.timingMode = Manual;
    c.MoveStart(450);
    EXPECT_EQ(prev.endFrame, 399);
    EXPECT_EQ(c.endFrame, 900);
    c.timingMode = Persistent;
    c.MoveStart(460);
    EXPECT_EQ(c.endFrame, 899);
}

}  // namespace
}  // namespace vantrel
