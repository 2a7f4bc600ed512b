// The caption record: occupied rows, lower case, and the timing modes: end frames that follow
// from content and the next caption, and moving a start.
#include "model/caption.h"

#include <gtest/gtest.h>

#include <limits>

#include "support/screen_text.h"

namespace vantrel {
namespace {

using testing::MakeCaption;

TEST(Caption, OccupiedRowsCountAttributeOnlyCellsButNotTheStorageRow) {
    Caption c = MakeCaption({{14, 0, "X"}, {15, 0, "Z"}});
    c.cells[3][7].attribute = 0x38;
    EXPECT_EQ(c.CountOccupiedRows(), 2);
}

TEST(Caption, LowerCaseChar) {
    const std::pair<uint8_t, uint8_t> cases[] = {
        {'A', 'a'},   {'Z', 'z'},   {'a', 'a'},   {0xC9, 0xE9}, {0xDC, 0xFC},
        {0xC6, 0xC6}, {0xD0, 0xD0}, {0xD7, 0xD7}, {0xDD, 0xDD}, {0xDE, 0xDE},
        {0xE0, 0xE0}, {0xFF, 0xFF}, {0x40, 0x40}, {0x5B, 0x5B},
    };
    for (const auto& [from, to] : cases) EXPECT_EQ(LowerCaseChar(from), to) << int(from);
}

constexpr int32_t kNone = std::numeric_limits<int32_t>::min() + 1;  // no next caption
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// A caption after an optional previous one (start 100, end 1000) and before an optional next
// one: the ends after ApplyTiming, or after moving its start to `to`.
TEST(Timing, ApplyAndMoveStartTable) {
    struct Case {
        int8_t prevMode;  // 0: no previous caption
        int8_t mode;
        int32_t start;
        int rows;
        int32_t end;   // before
        int32_t next;  // kNone: no next caption
        int32_t to;    // kNone: ApplyTiming
        int32_t prevEnd;
        int32_t expected;
    };
    const Case cases[] = {
        {0, Normal, 100, 2, 0, kNone, kNone, 1000, 220},  // two seconds a row
        {0, Normal, 100, 2, 0, 400, kNone, 1000, 220},
        {0, Normal, 100, 2, 0, 200, kNone, 1000, 199},  // but before the next
        {0, Normal, 100, 0, 0, kNone, kNone, 1000, 100},
        {0, Normal, kMax - 10, 15, 0, kNone, kNone, 1000, kMax - 1},
        {0, Persistent, 100, 1, 0, kNone, kNone, 1000, 129},
        {0, Persistent, 100, 1, 0, 150, kNone, 1000, 149},
        {0, Persistent, 0, 1, 0, kMin, kNone, 1000, kMin},
        {0, Seamless, 100, 1, 0, kNone, kNone, 1000, 130},
        {0, Seamless, 100, 1, 0, 150, kNone, 1000, 150},
        {0, Manual, 100, 1, 300, 250, kNone, 1000, 249},
        {0, Manual, 100, 1, 300, 400, kNone, 1000, 300},
        {0, 7, 100, 1, 12345, 150, kNone, 1000, 12345},  // an unknown mode leaves the end alone
        // Moving a start applies the previous caption's timing; Normal keeps its duration, 3 to
        // 120 frames.
        {Seamless, Normal, 300, 0, 500, kNone, 500, 500, 620},
        {Persistent, Normal, 300, 0, 301, kNone, 400, 399, 403},
        {Normal, Normal, 300, 0, 290, kNone, 400, 399, 403},
        {Manual, Seamless, 300, 0, 500, 900, 450, 1000, 900},
        {Manual, Persistent, 300, 0, 500, 900, 460, 1000, 899},
        {Manual, Manual, 300, 0, 500, 900, 460, 1000, 660},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.prevMode) << " " << int(c.mode) << " " << c.start
                                          << " " << c.next << " " << c.to);
        Caption prev, caption, next;
        prev.timingMode = c.prevMode;
        prev.startFrame = 100;
        prev.endFrame = 1000;
        caption.timingMode = c.mode;
        caption.startFrame = c.start;
        caption.endFrame = c.end;
        for (int r = 0; r < c.rows; ++r) caption.cells[14 - r][0] = {'A', 0x38};
        if (c.prevMode) {
            caption.prev = &prev;
            prev.next = &caption;
        }
        if (c.next != kNone) {
            next.startFrame = c.next;
            caption.next = &next;
            next.prev = &caption;
        }
        if (c.to == kNone) {
            caption.ApplyTiming();
        } else {
            caption.MoveStart(c.to);
            EXPECT_EQ(caption.startFrame, c.to);
        }
        EXPECT_EQ(prev.endFrame, c.prevEnd);
        EXPECT_EQ(caption.endFrame, c.expected);
    }
}

}  // namespace
}  // namespace vantrel
