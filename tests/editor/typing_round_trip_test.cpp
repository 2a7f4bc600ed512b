// Every caption character typed in every combination of colour, italics and underline gives a
// screen that the code string renders back cell for cell.
#include <gtest/gtest.h>

#include <vector>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/tables.h"
#include "editor/edit_commands.h"
#include "editor_fixtures.h"

namespace vantrel {
namespace {

using editor_test::CountingView;
using editor_test::Editing;
using editor_test::FirstDifference;
using editor_test::RoundTrip;

// The characters the code string carries as text.
std::vector<uint8_t> TypableCharacters() {
    std::vector<uint8_t> characters;
    auto add = [&](int first, int last) {
        for (int b = first; b <= last; ++b) characters.push_back(uint8_t(b));
    };
    add(0x20, 0x7F);
    add(0x90, 0x9B);
    add(0xA0, 0xCF);
    add(0xD1, 0xEF);
    add(0xF1, 0xFD);
    return characters;
}

// Types `characters` from (0, column) on, going to the next row at `column` whenever a row is
// full. Returns the number of characters typed.
size_t TypeAll(EditingContext& context, CountingView& view, const std::vector<uint8_t>& characters,
               int column, uint8_t attribute) {
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

TEST(TypingRoundTrip, EveryCharacterInEveryAttribute) {
    const std::vector<uint8_t> characters = TypableCharacters();
    ASSERT_EQ(characters.size(), 200u);
    for (int column : {0, 2, 5}) {
        for (int italics = 0; italics < 2; ++italics) {
            for (int underline = 0; underline < 2; ++underline) {
                for (int colour = 0; colour < 8; ++colour) {
                    const uint8_t attribute =
                        uint8_t(0x38 | colour | (italics ? 0x40 : 0) | (underline ? 0x80 : 0));
                    EditingContext context = Editing(0, column);
                    CountingView view;
                    ASSERT_EQ(TypeAll(context, view, characters, column, attribute),
                              characters.size());
                    const Caption& screen = *context.editCopy;
                    // Every character stands on the screen once, with the attribute it was typed
                    // in.
                    size_t found = 0;
                    for (int r = 0; r < kScreenRows; ++r) {
                        for (const CaptionCell& cell : screen.cells[r]) {
                            if (cell.character >= 0x20) {
                                EXPECT_EQ(cell.attribute, attribute);
                                ++found;
                            }
                        }
                    }
                    EXPECT_EQ(found, characters.size());
                    ASSERT_EQ(FirstDifference(screen, RoundTrip(screen)), "")
                        << "attribute " << int(attribute) << " from column " << column;
                }
            }
        }
    }
}

TEST(TypingRoundTrip, EveryCharacterBetweenChangesOfAttribute) {
    const std::vector<uint8_t> characters = TypableCharacters();
    std::vector<uint8_t> attributes;
    for (int a = 0; a < 32; ++a) {
        attributes.push_back(uint8_t(0x38 | (a & 7) | ((a & 8) << 3) | ((a & 16) << 3)));
    }
    // Each character in turn changes attribute, so every character meets codes on both sides;
    // a full screen is checked and a new one begun.
    for (size_t shift = 0; shift < attributes.size(); ++shift) {
        EditingContext context = Editing(0, 0);
        CountingView view;
        size_t typed = 0;
        for (uint8_t ch : characters) {
            const uint8_t attribute = attributes[(typed * 7 + shift) % attributes.size()];
            context.typingAttribute = attribute;
            if (!TypeCharacter(context, view, ch)) {
                if (context.caretRow == kScreenRows - 1) {
                    ASSERT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "");
                    context = Editing(0, 0);
                } else {
                    ++context.caretRow;
                    context.caretColumn = 0;
                }
                context.typingAttribute = attribute;
                ASSERT_TRUE(TypeCharacter(context, view, ch));
            }
            ++typed;
        }
        ASSERT_EQ(FirstDifference(*context.editCopy, RoundTrip(*context.editCopy)), "")
            << "shift " << shift;
    }
}

// The screen as a receiver gets it: encoded into 608 pairs and decoded again.
Caption ThroughPairs(const Caption& screen) {
    CaptionList list;
    auto* c = new Caption(screen);
    c->prev = c->next = nullptr;
    c->startFrame = 400;
    c->endFrame = 500;
    list.Insert(c);
    const EncodedCaptions e = EncodeCaptions(list);
    EXPECT_TRUE(e.leftOut.empty());
    std::vector<uint8_t> stream = e.bytes;
    for (uint8_t& b : stream) b |= 0x80;
    CaptionList decoded;
    DecodePairStream(decoded, stream);
    EXPECT_NE(decoded.Head(), nullptr);
    return decoded.Head() ? *decoded.Head() : Caption{};
}

TEST(TypingRoundTrip, EveryEncodableCharacterInEveryAttributeThroughPairs) {
    std::vector<uint8_t> characters;
    for (uint8_t ch : TypableCharacters()) {
        if (CodePairTable[ch] != 0) characters.push_back(ch);  // 608 carries it
    }
    for (int column : {0, 5}) {
        for (int a = 0; a < 32; ++a) {
            const uint8_t attribute = uint8_t(0x38 | (a & 7) | ((a & 8) << 3) | ((a & 16) << 3));
            EditingContext context = Editing(0, column);
            CountingView view;
            ASSERT_EQ(TypeAll(context, view, characters, column, attribute), characters.size());
            ASSERT_EQ(FirstDifference(*context.editCopy, ThroughPairs(*context.editCopy)), "")
                << "attribute " << int(attribute) << " from column " << column;
        }
    }
}

}  // namespace
}  // namespace vantrel
