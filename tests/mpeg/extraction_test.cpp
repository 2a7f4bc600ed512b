// Caption extraction: which user data is taken, how a cancel ends it, and damaged and
// meaningless streams: cut short anywhere (inside caption units and their triplets too), all
// zeros, random bytes. Nothing may crash or read out of bounds (run under the sanitizers too),
// extraction gives a prefix of what the whole stream gives with progress once per unit, and a
// multiplex copies everything but caption user data and carries one pair per closed-group
// picture.
#include <gtest/gtest.h>

#include <random>

#include "codec/encoder.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::CaptionUnit;
using testing::Collect;
using testing::StreamBuilder;

// Sequence header, group, the user-data unit, a picture.
Bytes WithUserData(const Bytes& unit) {
    StreamBuilder s;
    s.SequenceHeader().Group().Add(unit).Picture();
    return s.bytes();
}

const Bytes kAtsc{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39, 0x34,
                  0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20, 0xFF};

TEST(Extraction, UserDataTable) {
    // A unit much longer than the reader's window is read through all its pieces.
    Bytes longUnit, longPairs;
    for (int i = 0; i < 25000; ++i) {
        const uint8_t a = static_cast<uint8_t>(0x80 | (i % 100)), b = uint8_t(0x81 + i % 90);
        Append(longUnit, {0xFF, a, b, 0xFE, 0x00, 0x00});
        Append(longPairs, {a, b});
    }
    struct Case {
        const char* what;
        Bytes unit;
        Bytes pairs;  // field-1 pairs, bit 7 set
    };
    const Case cases[] = {
        {"field 1 first",
         CaptionUnit(0x8A, {0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE, 0xFE, 0, 0}),
         {0x94, 0xA0, 0x94, 0xAE}},
        {"field 2 first",
         CaptionUnit(0x8A, {0xFE, 0, 0, 0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE}),
         {0x94, 0xA0, 0x94, 0xAE}},
        {"any other marker ends the triplets",
         CaptionUnit(0x8A, {0xFF, 0x94, 0x20, 0xFA, 0x11, 0x22, 0xFF, 0x94, 0xAE}),
         {0x94, 0xA0}},
        {"no field-1 pairs", CaptionUnit(0x82, {0xFE, 0, 0, 0xFE, 0, 0}), {}},
        {"ATSC user data is not ours", kAtsc, {}},
        {"longer than the window", CaptionUnit(0x90, longUnit), longPairs},
    };
    for (const Case& c : cases) {
        const testing::Collected got = Collect(WithUserData(c.unit));
        EXPECT_EQ(got.pairs, c.pairs) << c.what;
        EXPECT_EQ(got.status, c.pairs.empty() ? MpegStatus::NoCaptions : MpegStatus::Completed)
            << c.what;
    }
}

TEST(Extraction, CancelStopsAtTheNextUnitWithNothingCollected) {
    StreamBuilder s;
    s.SequenceHeader();
    for (int g = 0; g < 10; ++g) s.Group().Add(CaptionUnit(0x82, {0xFF, 0x94, 0x20})).Pictures(1);
    for (const int at : {0, 5}) {
        std::atomic<int> cancel{at == 0};
        testing::SourceFile source(s.bytes());
        testing::RecordingSink sink;
        sink.onCall = [&](size_t count) {
            if (int(count) == at) cancel = 1;
        };
        CaptionList list;
        const MpegOutcome outcome = ExtractCaptions(source.file, sink, cancel, list);
        EXPECT_EQ(outcome.status, MpegStatus::Cancelled);
        EXPECT_EQ(outcome.message, "");
        EXPECT_EQ(sink.positions.size(), size_t(at)) << "the flag is read before each unit";
        EXPECT_TRUE(list.Empty());
    }
}

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
    StreamBuilder s;
    s.SequenceHeader().Group().Add(
        CaptionUnit(0x84, {0xFF, 0x94, 0x20, 0xFE, 0, 0, 0xFF, 0x94, 0xAE, 0xFE, 0, 0}));
    s.Add(kAtsc).Picture(1, 12).Picture(2, 10).Group();
    s.Add(CaptionUnit(0x82, {0xFE, 0, 0, 0xFF, 0xC1, 0xC2})).Picture(1, 20).Group();
    s.Picture(1, 8).SequenceEnd();
    const Bytes& whole = s.bytes();
    const testing::Collected full = Collect(whole);
    const Bytes& all = full.pairs;
    ASSERT_EQ(all, (Bytes{0x94, 0xA0, 0x94, 0xAE, 0xC1, 0xC2}));
    std::vector<uint64_t> ends;
    for (const Bytes& unit : testing::SplitUnits(whole))
        ends.push_back(unit.size() + (ends.empty() ? 0 : ends.back()));
    EXPECT_EQ(full.positions, ends) << "progress once per unit, at its end";
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
