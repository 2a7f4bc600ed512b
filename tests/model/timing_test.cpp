// Timing modes: end frames that follow from content and the next caption, and moving a start.
#include <gtest/gtest.h>

#include <limits>

#include "model/caption.h"

namespace vantrel {
namespace {

constexpr int32_t kNone = std::numeric_limits<int32_t>::min() + 1;  // no next caption
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

TEST(Timing, ApplyTimingTable) {
    struct Case {
        int8_t mode;
        int32_t start;
        int rows;
        int32_t end;  // before
        int32_t next;
        int32_t expected;
    };
    const Case cases[] = {
        {Normal, 100, 2, 0, kNone, 220},  // two seconds a row
        {Normal, 100, 2, 0, 400, 220},
        {Normal, 100, 2, 0, 200, 199},  // but before the next
        {Normal, 100, 0, 0, kNone, 100},
        {Normal, kMax - 10, 15, 0, kNone, kMax - 1},
        {Persistent, 100, 1, 0, kNone, 129},
        {Persistent, 100, 1, 0, 150, 149},
        {Persistent, 0, 1, 0, kMin, kMin},
        {Seamless, 100, 1, 0, kNone, 130},
        {Seamless, 100, 1, 0, 150, 150},
        {Manual, 100, 1, 300, 250, 249},
        {Manual, 100, 1, 300, 400, 300},
        {7, 100, 1, 12345, 150, 12345},  // an unknown mode leaves the end alone
    };
    for (const Case& c : cases) {
        Caption caption;
        Caption next;
        caption.timingMode = c.mode;
        caption.startFrame = c.start;
        caption.endFrame = c.end;
        for (int r = 0; r < c.rows; ++r) caption.cells[14 - r][0] = {'A', 0x38};
        if (c.next != kNone) {
            next.startFrame = c.next;
            caption.next = &next;
            next.prev = &caption;
        }
        caption.ApplyTiming();
        EXPECT_EQ(caption.endFrame, c.expected) << int(c.mode) << " " << c.start << " " << c.next;
    }
}

TEST(Timing, MoveStartTable) {
    struct Case {
        int8_t prevMode;
        int8_t mode;
        int32_t end;   // before the move, the start being 300
        int32_t next;  // kNone: no next caption
        int32_t to;
        int32_t prevEnd;
        int32_t expectedEnd;
    };
    const Case cases[] = {
        {Seamless, Normal, 500, kNone, 500, 500, 620},  // Normal keeps its duration, 3 to 120
        {Persistent, Normal, 301, kNone, 400, 399, 403},
        {Normal, Normal, 290, kNone, 400, 399, 403},
        {Manual, Seamless, 500, 900, 450, 1000, 900},
        {Manual, Persistent, 500, 900, 460, 1000, 899},
        {Manual, Manual, 500, 900, 460, 1000, 660},
    };
    for (const Case& c : cases) {
        Caption prev;
        Caption caption;
        Caption next;
        prev.timingMode = c.prevMode;
        prev.startFrame = 100;
        prev.endFrame = 1000;
        caption.timingMode = c.mode;
        caption.startFrame = 300;
        caption.endFrame = c.end;
        caption.prev = &prev;
        prev.next = &caption;
        if (c.next != kNone) {
            next.startFrame = c.next;
            caption.next = &next;
        }
        caption.MoveStart(c.to);
        EXPECT_EQ(caption.startFrame, c.to);
        EXPECT_EQ(prev.endFrame, c.prevEnd) << int(c.prevMode) << " " << int(c.mode);
        EXPECT_EQ(caption.endFrame, c.expectedEnd) << int(c.prevMode) << " " << int(c.mode);
    }
}

}  // namespace
}  // namespace vantrel
