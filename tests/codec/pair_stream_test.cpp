// Pair streams, encoded. Random projects of every timing mode come back from their pairs in the
// caption-file round trips, which encode and decode them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "codec/encoder.h"
#include "codec/tables.h"
#include "support/pair_notation.h"
#include "support/screen_text.h"

namespace vantrel {
namespace {

using Bytes = std::vector<uint8_t>;

using testing::Stream;

TEST(EncodeCodeString, Table) {
    struct Case {
        Bytes code;
        Bytes pairs;
    };
    const Case cases[] = {
        // RCL, ENM, row 15 indent 0, HI, EOC: five pairs, odd parity.
        {{0x02, 0xFE, 0x8F, 0x10, 0x48, 0x49, 0x06},
         {0x94, 0x20, 0x94, 0xAE, 0x94, 0x70, 0xC8, 0x49, 0x94, 0x2F}},
        // Two equal special characters get a filler pair between them, whatever follows.
        {{0x90, 0x90}, {0x91, 0x37, 0x80, 0x80, 0x91, 0x37}},
        {{0x90, 0x90, 0x06}, {0x91, 0x37, 0x80, 0x80, 0x91, 0x37, 0x94, 0x2F}},
        // Extended characters: the fallback, padding, then the pair.
        {{0xD4}, {0x4F, 0x80, 0x92, 0xBA}},
        {{0xD8}, {0x4F, 0x80, 0x13, 0xBA}},
        {{'a', 0xF9}, {0x61, 0x75, 0x92, 0xBC}},
        {{0xE7}, {0xFB}},  // the cedilla takes the brace's place
        // Preamble colour and underline fold into the preamble; a lone character is padded only
        // when a control code follows.
        {{0x81, 0x19, 0x0E, 'A', 0x06}, {0x91, 0x43, 0xC1, 0x80, 0x94, 0x2F}},
        {{}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EncodeCodeString(c.code), c.pairs) << ::testing::PrintToString(c.code);
}

std::unique_ptr<Caption> HiCaption(int32_t start, int32_t end, int8_t mode = Manual,
                                   bool valid = true) {
    auto c = std::make_unique<Caption>();
    c->startFrame = start;
    c->endFrame = end;
    c->timingMode = mode;
    c->screenValid = valid;
    testing::PutText(*c, 14, 0, "HI");
    return c;
}

TEST(GetLoadFrames, CountsPairsPlusOneAndCachesUntilTheScreenChanges) {
    Caption empty;
    EXPECT_EQ(GetLoadFrames(empty), 4);
    const std::unique_ptr<Caption> hi = HiCaption(0, 10);
    EXPECT_EQ(GetLoadFrames(*hi), 6);
    hi->cells[0][0] = {'Z', 0x38};
    EXPECT_EQ(GetLoadFrames(*hi), 6);
    hi->loadFrames = -1;
    EXPECT_EQ(GetLoadFrames(*hi), 8);
    // A lone character before a control code or a row takes a pair of its own: RCL ENM, a row,
    // 'A' and a null, a green code or a second row, 'B' and a null, EOC.
    for (const testing::Screen& screen :
         {testing::Screen{{14, 0, "A"}, {14, 1, "\x19"}, {14, 2, "B", 0x39}},
          testing::Screen{{13, 0, "A"}, {14, 0, "B"}}}) {
        Caption c = testing::MakeCaption(screen);
        EXPECT_EQ(GetLoadFrames(c), 8);
    }
}

// Where a project's pairs fall, as pair-stream words with odd parity.
TEST(EncodeCaptions, FrameLayout) {
    struct Shown {
        int32_t start;
        int32_t end;
        int8_t mode = Manual;
        bool valid = true;
    };
    struct Case {
        const char* what;
        std::vector<Shown> captions;
        const char* stream;
        std::vector<int> leftOut;
        std::vector<std::pair<int, int64_t>> late = {};  // caption, frame shown from
    };
    // clang-format off
    const Case cases[] = {
        {"nothing", {}, "", {}},
        {"one caption", {{30, 90}}, "@26 RCL ENM R15 'HI' EOC @90 EDM", {}},
        {"a caption of one frame is erased too", {{30, 31}}, "@26 RCL ENM R15 'HI' EOC EDM", {}},
        {"touching captions need no erase", {{30, 60, Seamless}, {60, 90}},
         "@26 RCL ENM R15 'HI' EOC @56 RCL ENM R15 'HI' EOC @90 EDM", {}},
        {"an erase inside the next loading, which starts a frame early", {{50, 100}, {102, 150}},
         "@46 RCL ENM R15 'HI' EOC @97 RCL ENM R15 EDM 'HI' EOC @150 EDM", {}},
        {"an erase on the first frame of the next loading", {{50, 98}, {102, 150}},
         "@46 RCL ENM R15 'HI' EOC @97 RCL EDM ENM R15 'HI' EOC @150 EDM", {}},
        // Inserting the second caption cut the first's end to 32: its erase stays in the
        // loading of the second, which starts right after the first's EOC and shows late.
        {"a caption too close is shown late", {{30, 40}, {33, 80}, {200, 260}},
         "@26 RCL ENM R15 'HI' EOC RCL EDM ENM R15 'HI' EOC @80 EDM @196 RCL ENM R15 'HI' EOC @260 EDM",
         {}, {{1, 36}}},
        {"late ones push the next as far as they must; the one replaced stays on", {{1, 3, Seamless}, {3, 5}, {12, 20}},
         "RCL ENM R15 'HI' EOC RCL ENM R15 'HI' EOC EDM RCL ENM R15 'HI' EOC @20 EDM", {},
         {{0, 4}, {1, 9}, {2, 15}}},
        {"before frame 0 and out of range", {{2, 20}, {200, int32_t(kMaxEncodedFrame + 1)}},
         "RCL ENM R15 'HI' EOC @20 EDM", {1}, {{0, 4}}},
        {"an invalid screen", {{100, 120, Manual, false}}, "", {0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaptionList list;
        std::vector<const Caption*> made;
        for (const Shown& s : c.captions) {
            made.push_back(list.Insert(HiCaption(s.start, s.end, s.mode, s.valid)));
        }
        const EncodedCaptions e = EncodeCaptions(list);
        Bytes expected = Stream(c.stream);
        for (uint8_t& b : expected) b = OddParityTable[b & 0x7F];
        EXPECT_EQ(e.bytes, expected);
        std::vector<const Caption*> leftOut;
        for (int i : c.leftOut) leftOut.push_back(made[i]);
        EXPECT_EQ(e.leftOut, leftOut);
        std::vector<LateCaption> late;
        for (auto [i, from] : c.late) late.push_back({made[i], from});
        EXPECT_EQ(e.late, late);
    }
}

}  // namespace
}  // namespace vantrel
