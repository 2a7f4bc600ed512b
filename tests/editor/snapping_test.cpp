// Where a timeline drag lets go: on a shot change, or the profile's gap (two blank frames unless a
// row says one) from the neighbour where an erase separates the two, within reach and bounds;
// Persistent and Seamless keep their gaps.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editor/caption_steps.h"
#include "model/caption_list.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

// Previous caption at 100 (Manual to 200, Normal with one row to 160, Persistent, Seamless),
// the dragged one at 300-360, the next at 500; every one loads in 8 frames.
struct Case {
    const char* what;
    int8_t prevMode;
    int8_t mode;
    bool end;  // dragging the end, else the start
    bool withNext;
    std::vector<int32_t> shots;
    int64_t frame, reach, expected;
    int32_t gap = 2;
};

TEST(Snapping, LandsOnShotChangesAndTwoFrameGaps) {
    // clang-format off
    const Case cases[] = {
        {"start after a Manual end", Manual, Normal, false, true, {}, 203, 3, 202},
        {"out of reach", Manual, Normal, false, true, {}, 206, 3, 206},
        {"start after a Normal end", Normal, Normal, false, true, {}, 161, 3, 162},
        {"Persistent keeps its rule", Persistent, Normal, false, true, {}, 130, 3, 130},
        {"Seamless keeps its rule", Seamless, Normal, false, true, {}, 131, 3, 131},
        {"start on a cut", Persistent, Normal, false, true, {250}, 252, 3, 250},
        {"a cut wins a tie", Manual, Normal, false, true, {204}, 203, 3, 204},
        {"the nearer of two cuts", Persistent, Normal, false, true, {240, 246}, 244, 5, 246},
        {"a cut outside the bounds", Persistent, Normal, false, true, {107}, 110, 3, 110},
        {"a Manual end two before the next", Persistent, Manual, false, true, {}, 440, 3, 438},
        {"a Normal end follows the next", Persistent, Normal, false, true, {}, 440, 3, 440},
        {"end two before the next", Manual, Manual, true, true, {}, 497, 3, 498},
        {"end on a cut", Manual, Manual, true, true, {400}, 402, 3, 400},
        {"no reach", Manual, Manual, true, true, {400}, 497, 0, 497},
        {"end of the last caption", Manual, Manual, true, false, {702}, 700, 3, 702},
        {"no gap after the last", Manual, Manual, true, false, {}, 700, 3, 700},
        {"one frame after a Manual end", Manual, Normal, false, true, {}, 203, 3, 201, 1},
        {"end one before the next", Manual, Manual, true, true, {}, 497, 3, 499, 1},
        {"end held one before the next", Manual, Manual, true, true, {}, 500, 3, 499, 1},
        {"a Manual end one before the next", Persistent, Manual, false, true, {}, 440, 3, 439, 1}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaptionList list;
        const auto add = [&list](int32_t start, int32_t end, int8_t mode) {
            return testing::AddCaption(list, start, end, "Text", 14, 4, mode, 8);
        };
        add(100, c.prevMode == Manual ? 200 : 299, c.prevMode);
        Caption* dragged = add(300, 360, c.mode);
        if (c.withNext) add(500, 560, Manual);
        const int64_t snapped =
            c.end ? SnapEnd(*dragged, c.frame, EndBounds(*dragged, c.gap), c.shots, c.reach, c.gap)
                  : SnapStart(*dragged, c.frame, StartBounds(*dragged, c.gap), c.shots, c.reach,
                              c.gap);
        EXPECT_EQ(snapped, c.expected);
    }
}

}  // namespace
}  // namespace vantrel
