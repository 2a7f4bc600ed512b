// Encoding a project and decoding the stream gives back every caption: frames and screen.
#include <gtest/gtest.h>

#include <random>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

void ExpectSameCaptions(const CaptionList& want, const CaptionList& got, int seed) {
    const Caption* a = want.Head();
    const Caption* b = got.Head();
    int index = 0;
    for (; a && b; a = a->next, b = b->next, ++index) {
        ASSERT_EQ(a->startFrame, b->startFrame) << "seed " << seed << " caption " << index;
        ASSERT_EQ(a->endFrame, b->endFrame)
            << "seed " << seed << " caption " << index << " mode " << int(a->timingMode);
        ASSERT_TRUE(a->SameScreen(*b)) << "seed " << seed << " caption " << index;
    }
    ASSERT_EQ(a, nullptr) << "seed " << seed << ": captions missing after " << index;
    ASSERT_EQ(b, nullptr) << "seed " << seed << ": extra captions after " << index;
}

std::vector<uint8_t> AsPairStream(std::vector<uint8_t> bytes) {
    for (uint8_t& b : bytes) b |= 0x80;  // as every reader hands them to the decoder
    return bytes;
}

TEST(CodecRoundTrip, RandomProjectsComeBackCaptionForCaption) {
    for (int seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        CaptionList list;
        testing::RandomProject(rng, list, seed % 10 == 0 ? 500 : 40);
        const EncodedCaptions e = EncodeCaptions(list);
        ASSERT_TRUE(e.leftOut.empty()) << "seed " << seed;
        CaptionList decoded;
        DecodePairStream(decoded, AsPairStream(e.bytes));
        ExpectSameCaptions(list, decoded, seed);
    }
}

TEST(CodecRoundTrip, EveryTimingModeAndTouchingCaptions) {
    std::mt19937 rng(99);
    int modes[5] = {};
    int touching = 0, eraseInLoading = 0;
    for (int seed = 0; seed < 20; ++seed) {
        CaptionList list;
        testing::RandomProject(rng, list, 60);
        for (const Caption* c = list.Head(); c; c = c->next) {
            ++modes[c->timingMode];
            if (c->next && c->endFrame == c->next->startFrame) ++touching;
            if (c->next && c->endFrame < c->next->startFrame &&
                c->endFrame > c->next->startFrame - c->next->loadFrames) {
                ++eraseInLoading;
            }
        }
        const EncodedCaptions e = EncodeCaptions(list);
        ASSERT_TRUE(e.leftOut.empty());
        CaptionList decoded;
        DecodePairStream(decoded, AsPairStream(e.bytes));
        ExpectSameCaptions(list, decoded, seed);
    }
    // The generator must really have produced every case this test is about.
    for (int m = 1; m <= 4; ++m) EXPECT_GT(modes[m], 0) << "mode " << m;
    EXPECT_GT(touching, 0);
    EXPECT_GT(eraseInLoading, 0);
}

}  // namespace
}  // namespace vantrel
