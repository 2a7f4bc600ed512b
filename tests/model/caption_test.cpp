// The caption record: occupied rows and lower case.
#include "model/caption.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vantrel
