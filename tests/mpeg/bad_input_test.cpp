// Damaged and meaningless streams: cut short anywhere (inside caption units and their triplets
// too), all zeros, random bytes. Nothing may crash or read out of bounds (run under the
// sanitizers too), extraction gives a prefix of what the whole stream gives, and a multiplex
// copies everything but caption user data and carries one pair per closed-group picture.
#include <gtest/gtest.h>

#include <random>

#include "codec/encoder.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/stream_model.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::CaptionUnit;
using testing::Collect;
using testing::StreamBuilder;

class BadInput : public ::testing::Test {
  protected:
    BadInput() {
        captions_.Insert(testing::TextCaption(6, 20, "BAD"));
        encoded_ = EncodeCaptions(captions_).bytes;
    }

    // Multiplexes the stream and checks the copy against the plain model.
    void CheckMultiplex(const Bytes& stream) {
        const testing::Multiplexed m = testing::Multiplex(captions_, stream);
        ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
        EXPECT_EQ(testing::WithoutCaptionUnits(m.output), testing::WithoutCaptionUnits(stream));
        EXPECT_EQ(Collect(m.output).pairs,
                  testing::ExpectedPairs(encoded_, testing::CarriedPictures(stream)));
    }

    CaptionList captions_;
    Bytes encoded_;
};

TEST_F(BadInput, AStreamCutAnywhereGivesAPrefixOfItsPairsAndIsStillCopiedWhole) {
    const Bytes atsc{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39,
                     0x34, 0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20};
    StreamBuilder s;
    s.SequenceHeader().Group().Add(
        CaptionUnit(0x84, {0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE, 0xFE, 0, 0}));
    s.Add(atsc).Picture(1, 12).Picture(2, 10).Group();
    s.Add(CaptionUnit(0x82, {0xFE, 0, 0, 0xFF, 0xC1, 0xC2})).Picture(1, 20).Group();
    s.Picture(1, 8).SequenceEnd();
    const Bytes& whole = s.bytes();
    const Bytes all = Collect(whole).pairs;
    ASSERT_EQ(all, (Bytes{0x94, 0xA0, 0x94, 0xAE, 0xC1, 0xC2}));
    for (size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        const Bytes cut(whole.begin(), whole.begin() + n);
        const testing::Collected got = Collect(cut);
        EXPECT_EQ(got.status, got.pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed);
        ASSERT_LE(got.pairs.size(), all.size());
        EXPECT_TRUE(std::equal(got.pairs.begin(), got.pairs.end(), all.begin()));
        if (n % 3 == 0) CheckMultiplex(cut);
    }
}

TEST_F(BadInput, ALongGroupHeaderGetsItsCaptionUnitAfterAllItsPieces) {
    StreamBuilder s;
    s.Group();
    Bytes longHeader = testing::Unit(0xB8, 70000);
    longHeader[65540] = 0x01;  // the second piece begins with 01, after a full first piece
    s.Add(longHeader).Pictures(2).Group().Pictures(1);
    CheckMultiplex(s.bytes());
}

// Bytes drawn mostly from the values that make start codes and caption units.
Bytes RandomStream(std::mt19937& rng, size_t size) {
    static constexpr uint8_t kCommon[] = {0x00, 0x00, 0x00, 0x01, 0xB2,
                                          0xB8, 0x43, 0xF8, 0xFF, 0xFE};
    Bytes s;
    while (s.size() < size) {
        switch (rng() % 6) {
            case 0:
                Append(s, {0x00, 0x00, 0x01, static_cast<uint8_t>(rng() % 2 ? 0x00 : 0xB8)});
                break;
            case 1:
                Append(s, {0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8});
                break;
            case 2:
                s.push_back(kCommon[rng() % sizeof kCommon]);
                break;
            default:
                s.push_back(static_cast<uint8_t>(rng()));
                break;
        }
    }
    return s;
}

// Random streams, and a last one of zeros alone.
TEST_F(BadInput, RandomBytesAndZerosAreReadAndCopiedSafely) {
    std::mt19937 rng(99);
    for (int round = 0; round <= 60; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const size_t size = round < 50 ? 1 + rng() % 3000 : 60000 + rng() % 80000;
        const Bytes s = round < 60 ? RandomStream(rng, size) : Bytes(200000, 0);
        const testing::Collected got = Collect(s);
        EXPECT_EQ(got.status, got.pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed);
        EXPECT_EQ(got.pairs.size() % 2, 0u);
        for (const uint8_t b : got.pairs) ASSERT_GE(b, 0x80);
        EXPECT_TRUE(round < 60 || got.pairs.empty());
        CheckMultiplex(s);
    }
}

}  // namespace
}  // namespace vantrel
