// Damaged and meaningless streams: cut short anywhere, all zeros, caption units cut inside
// their triplets, random bytes. Nothing may crash or read out of bounds (run under the
// sanitizers too), extraction gives a prefix of what the whole stream gives, and a multiplex
// refuses a stream without a sequence header at its start, else copies everything but caption
// user data and carries one pair per picture after the first group header.
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
using testing::StreamBuilder;

class BadInput : public ::testing::Test {
  protected:
    BadInput() {
        captions_.Insert(testing::TextCaption(6, 20, "BAD"));
        encoded_ = EncodeCaptions(captions_).bytes;
    }

    static MpegStatus Collect(const Bytes& stream, Bytes& pairs) {
        testing::Collected got = testing::Collect(stream);
        pairs = std::move(got.pairs);
        return got.status;
    }

    // Multiplexes the stream and checks the copy against the plain model.
    void CheckMultiplex(const Bytes& stream, const std::string& what) {
        const testing::Multiplexed m = testing::Multiplex(captions_, stream);
        if (!testing::BeginsWithSequenceHeader(stream)) {
            EXPECT_EQ(m.outcome.status, MpegStatus::NotAVideoStream) << what;
            EXPECT_FALSE(m.exists) << what;
            return;
        }
        ASSERT_EQ(m.outcome.status, MpegStatus::Completed) << what;
        EXPECT_EQ(testing::WithoutCaptionUnits(m.output), testing::WithoutCaptionUnits(stream))
            << what;
        EXPECT_EQ(testing::Collect(m.output).pairs,
                  testing::ExpectedPairs(encoded_, testing::CarriedPictures(stream)))
            << what;
    }

    CaptionList captions_;
    Bytes encoded_;
};

Bytes SmallStream() {
    const Bytes atsc{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39,
                     0x34, 0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20};
    StreamBuilder s;
    s.SequenceHeader().Group().Add(
        CaptionUnit(0x84, {0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE, 0xFE, 0, 0}));
    s.Add(atsc).Picture(1, 12).Picture(2, 10).Group();
    s.Add(CaptionUnit(0x82, {0xFE, 0, 0, 0xFF, 0xC1, 0xC2}))
        .Picture(1, 20)
        .Group()
        .Picture(1, 8)
        .SequenceEnd();
    return s.bytes();
}

TEST_F(BadInput, AStreamCutAnywhereGivesAPrefixOfItsPairs) {
    const Bytes whole = SmallStream();
    Bytes all;
    ASSERT_EQ(Collect(whole, all), MpegStatus::Completed);
    ASSERT_EQ(all, (Bytes{0x94, 0xA0, 0x94, 0xAE, 0xC1, 0xC2}));
    for (size_t n = 0; n < whole.size(); ++n) {
        const Bytes cut(whole.begin(), whole.begin() + n);
        Bytes pairs;
        const MpegStatus status = Collect(cut, pairs);
        EXPECT_EQ(status, pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed) << n;
        ASSERT_LE(pairs.size(), all.size()) << n;
        EXPECT_TRUE(std::equal(pairs.begin(), pairs.end(), all.begin())) << "cut at " << n;
    }
}

TEST_F(BadInput, AStreamCutAnywhereIsStillCopiedWhole) {
    const Bytes whole = SmallStream();
    for (size_t n = 0; n <= whole.size(); n += 3) {
        CheckMultiplex(Bytes(whole.begin(), whole.begin() + n), "cut at " + std::to_string(n));
    }
}

TEST_F(BadInput, ACaptionUnitCutInsideATripletKeepsItsWholeTriplets) {
    Bytes s = testing::Unit(0xB8, 8);
    Append(s, {0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8, 0x84, 0xFF, 0x94, 0x20, 0xFF, 0x94});
    Bytes pairs;
    EXPECT_EQ(Collect(s, pairs), MpegStatus::Completed);
    EXPECT_EQ(pairs, (Bytes{0x94, 0xA0}));
    s.erase(s.end() - 5, s.end());  // now cut inside the first triplet
    EXPECT_EQ(Collect(s, pairs), MpegStatus::NoCaptions);
    // The header alone, shorter than the signature, is no caption unit.
    EXPECT_EQ(Collect(Bytes{0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01}, pairs),
              MpegStatus::NoCaptions);
}

TEST_F(BadInput, AStreamOfZerosHasNoCaptionsAndIsNoSourceToCopy) {
    const Bytes zeros(200000, 0);
    Bytes pairs;
    EXPECT_EQ(Collect(zeros, pairs), MpegStatus::NoCaptions);
    CheckMultiplex(zeros, "zeros");
}

TEST_F(BadInput, ALongGroupHeaderGetsItsCaptionUnitAfterAllItsPieces) {
    StreamBuilder s;
    s.SequenceHeader().Group();
    Bytes longHeader = testing::Unit(0xB8, 70000);
    longHeader[65540] = 0x01;  // the second piece begins with 01, after a full first piece
    s.Add(longHeader).Pictures(2).Group().Pictures(1);
    CheckMultiplex(s.bytes(), "long group header");
}

// Bytes drawn mostly from the values that make start codes and caption units.
// Most begin with a sequence header, so that a multiplex copies them.
Bytes RandomStream(std::mt19937& rng, size_t size) {
    static constexpr uint8_t kCommon[] = {0x00, 0x00, 0x00, 0x01, 0xB2,
                                          0xB8, 0x43, 0xF8, 0xFF, 0xFE};
    Bytes s;
    if (rng() % 4 != 0) s = testing::Unit(0xB3, 12);
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

TEST_F(BadInput, RandomBytesAreReadAndCopiedSafely) {
    std::mt19937 rng(99);
    for (int round = 0; round < 60; ++round) {
        const size_t size = round < 50 ? 1 + rng() % 3000 : 60000 + rng() % 80000;
        const Bytes s = RandomStream(rng, size);
        Bytes pairs;
        const MpegStatus status = Collect(s, pairs);
        EXPECT_TRUE(status == MpegStatus::Completed || status == MpegStatus::NoCaptions);
        EXPECT_EQ(pairs.size() % 2, 0u);
        for (const uint8_t b : pairs) ASSERT_GE(b, 0x80);
        CheckMultiplex(s, "round " + std::to_string(round));
    }
}

}  // namespace
}  // namespace vantrel
