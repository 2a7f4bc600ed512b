// Encoding: the pairs of one code string, loading times, where a project's pairs fall frame by
// frame with the captions that cannot be placed, and random projects decoded back.
#include "codec/encoder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "codec/code_string.h"
#include "codec/decoder.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using Bytes = std::vector<uint8_t>;

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
    c->cells[14][0] = {'H', 0x38};
    c->cells[14][1] = {'I', 0x38};
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
}

constexpr uint16_t kRcl = 0x9420, kEnm = 0x94AE, kRow = 0x9470, kHi = 0xC849, kEoc = 0x942F,
                   kEdm = 0x942C;

// The loading of HI shown on `frame`.
std::map<int, uint16_t> Loading(int frame) {
    return {
        {frame - 4, kRcl}, {frame - 3, kEnm}, {frame - 2, kRow}, {frame - 1, kHi}, {frame, kEoc}};
}

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
        std::vector<std::map<int, uint16_t>> pairs;  // every other frame holds a null pair
        int frames;
        std::vector<int> leftOut;
    };
    // clang-format off
    const Case cases[] = {
        {"nothing", {}, {}, 0, {}},
        {"one caption", {{30, 90}}, {Loading(30), {{90, kEdm}}}, 91, {}},
        {"a caption of one frame is erased too", {{30, 31}}, {Loading(30), {{31, kEdm}}}, 32, {}},
        {"touching captions need no erase", {{30, 60, Seamless}, {60, 90}},
         {Loading(30), Loading(60), {{90, kEdm}}}, 91, {}},
        {"an erase inside the next loading, which starts a frame early", {{50, 100}, {102, 150}},
         {Loading(50), {{97, kRcl}, {98, kEnm}, {99, kRow}, {100, kEdm}, {101, kHi}, {102, kEoc}, {150, kEdm}}},
         151, {}},
        {"an erase on the first frame of the next loading", {{50, 98}, {102, 150}},
         {Loading(50), {{97, kRcl}, {98, kEdm}, {99, kEnm}, {100, kRow}, {101, kHi}, {102, kEoc}, {150, kEdm}}},
         151, {}},
        // Inserting the second caption cut the first's end to 32, which it keeps.
        {"a caption too close is left out alone", {{30, 40}, {33, 80}, {200, 260}},
         {Loading(30), {{32, kEdm}}, Loading(200), {{260, kEdm}}}, 261, {1}},
        {"before frame 0 and out of range", {{2, 20}, {200, int32_t(kMaxEncodedFrame + 1)}}, {}, 0, {0, 1}},
        {"an invalid screen", {{100, 120, Manual, false}}, {}, 0, {0}},
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
        ASSERT_EQ(e.bytes.size(), 2u * c.frames);
        std::map<int, uint16_t> expected;
        for (const auto& part : c.pairs) expected.insert(part.begin(), part.end());
        for (int f = 0; f < c.frames; ++f) {
            const uint16_t pair = uint16_t(e.bytes[2 * f] << 8 | e.bytes[2 * f + 1]);
            EXPECT_EQ(pair, expected.count(f) ? expected[f] : 0x8080) << "frame " << f;
        }
        std::vector<const Caption*> leftOut;
        for (int i : c.leftOut) leftOut.push_back(made[i]);
        EXPECT_EQ(e.leftOut, leftOut);
    }
}

// Random projects in every timing mode, with touching captions and erases inside the next
// loading, come back from their pairs caption for caption, and every screen has its mnemonics.
TEST(CodecRoundTrip, RandomProjectsComeBackCaptionForCaption) {
    int modes[5] = {}, touching = 0, eraseInLoading = 0;
    for (int seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        CaptionList list;
        testing::RandomProject(rng, list, seed % 10 == 0 ? 500 : 40);
        for (const Caption* c = list.Head(); c; c = c->next) {
            ++modes[c->timingMode];
            ASSERT_TRUE(GetCodeText(*c).has_value());
            if (!c->next) continue;
            touching += c->endFrame == c->next->startFrame;
            eraseInLoading += c->endFrame < c->next->startFrame &&
                              c->endFrame > c->next->startFrame - c->next->loadFrames;
        }
        const EncodedCaptions e = EncodeCaptions(list);
        ASSERT_TRUE(e.leftOut.empty());
        Bytes pairs = e.bytes;
        for (uint8_t& b : pairs) b |= 0x80;  // as every reader hands them to the decoder
        CaptionList decoded;
        DecodePairStream(decoded, pairs);
        const Caption* b = decoded.Head();
        int i = 0;
        for (const Caption* a = list.Head(); a; a = a->next, b = b->next, ++i) {
            ASSERT_NE(b, nullptr) << "captions missing from " << i;
            ASSERT_EQ(a->startFrame, b->startFrame) << "caption " << i;
            ASSERT_EQ(a->endFrame, b->endFrame)
                << "caption " << i << " mode " << int(a->timingMode);
            ASSERT_TRUE(a->SameScreen(*b)) << "caption " << i;
        }
        ASSERT_EQ(b, nullptr) << "extra captions";
    }
    // The generator must really have produced every case this test is about.
    for (int m = 1; m <= 4; ++m) EXPECT_GT(modes[m], 0) << "mode " << m;
    EXPECT_GT(touching, 0);
    EXPECT_GT(eraseInLoading, 0);
}

}  // namespace
}  // namespace vantrel
