// Every caption character typed in every combination of colour, italics and underline gives a
// screen that the code string, and a receiver through 608 pairs, render back cell for cell.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "editor/edit_commands.h"
#include "editor_fixtures.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::FirstDifference;
using editor_test::RoundTrip;

// Types `characters` in `attribute` from (0, column) on, going to the next row at `column`
// whenever a row is full. Returns the number of characters typed.
size_t TypeAll(EditingContext& context, const std::vector<uint8_t>& characters, int column,
               uint8_t attribute) {
    CountingView view;
    size_t typed = 0;
    for (uint8_t ch : characters) {
        context.typingAttribute = attribute;
        if (!TypeCharacter(context, view, ch)) {
            if (context.caretRow == kScreenRows - 1) break;
            ++context.caretRow;
            context.caretColumn = column;
            context.typingAttribute = attribute;
            if (!TypeCharacter(context, view, ch)) break;
        }
        ++typed;
    }
    return typed;
}

// The screen as a receiver gets it: encoded into 608 pairs and decoded again.
Caption ThroughPairs(const Caption& screen) {
    CaptionList list;
    auto c = std::make_unique<Caption>(screen);
    c->startFrame = 400;
    c->endFrame = 500;
    list.Insert(std::move(c));
    const EncodedCaptions e = EncodeCaptions(list);
    EXPECT_TRUE(e.leftOut.empty());
    std::vector<uint8_t> stream = e.bytes;
    for (uint8_t& b : stream) b |= 0x80;
    CaptionList decoded;
    DecodePairStream(decoded, stream);
    return decoded.Head() ? *decoded.Head() : Caption{};
}

// The 32 attributes the editor types in: eight colours, italics, underline.
uint8_t TypingAttribute(int n) {
    return uint8_t(0x38 | (n & 7) | ((n & 8) << 3) | ((n & 16) << 3));
}

TEST(TypingRoundTrip, EveryCharacterInEveryAttribute) {
    const std::vector<uint8_t> all = testing::TypableCharacters();
    const std::vector<uint8_t> encodable = testing::EncodableCharacters();
    for (int column : {0, 2, 5}) {
        for (int n = 0; n < 32; ++n) {
            const uint8_t attribute = TypingAttribute(n);
            SCOPED_TRACE("attribute " + std::to_string(attribute) + " from column " +
                         std::to_string(column));
            EditingContext context = Editing(0, column);
            ASSERT_EQ(TypeAll(context, all, column, attribute), all.size());
            // Every character stands on the screen once, in the attribute it was typed in.
            size_t found = 0;
            for (int r = 0; r < kScreenRows; ++r) {
                for (const CaptionCell& cell : context.editCopy->cells[r]) {
                    if (cell.character < 0x20) continue;
                    EXPECT_EQ(cell.attribute, attribute);
                    ++found;
                }
            }
            EXPECT_EQ(found, all.size());
            ASSERT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "");

            EditingContext sent = Editing(0, column);
            ASSERT_EQ(TypeAll(sent, encodable, column, attribute), encodable.size());
            ASSERT_EQ(FirstDifference(*sent.editCopy, ThroughPairs(*sent.editCopy)), "");
        }
    }
}

// Each character in turn changes attribute, so every character meets codes on both sides.
TEST(TypingRoundTrip, EveryCharacterBetweenChangesOfAttribute) {
    const std::vector<uint8_t> characters = testing::TypableCharacters();
    for (int shift = 0; shift < 32; ++shift) {
        EditingContext context = Editing(0, 0);
        CountingView view;
        for (size_t typed = 0; typed < characters.size(); ++typed) {
            context.typingAttribute = TypingAttribute(int(typed * 7 + shift) % 32);
            if (TypeCharacter(context, view, characters[typed])) continue;
            if (context.caretRow == kScreenRows - 1) {
                ASSERT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "");
                context = Editing(0, 0);
            } else {
                ++context.caretRow;
                context.caretColumn = 0;
            }
            context.typingAttribute = TypingAttribute(int(typed * 7 + shift) % 32);
            ASSERT_TRUE(TypeCharacter(context, view, characters[typed]));
        }
        ASSERT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "")
            << "shift " << shift;
    }
}

}  // namespace
}  // namespace vantrel
