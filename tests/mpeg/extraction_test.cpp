// Caption extraction: which user data is taken, how pairs become frames, and how an
// extraction ends (no captions, cancel, decoding into a list of its own).
#include <gtest/gtest.h>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/pair_buffer.h"
#include "files/file.h"
#include "model/caption_project.h"
#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::CaptionUnit;
using testing::RecordingSink;
using testing::StreamBuilder;
using testing::TempDir;

struct Collected {
    MpegStatus status;
    Bytes pairs;
    std::vector<uint64_t> positions;
};

Collected Collect(const Bytes& stream, const std::atomic<int>& cancel) {
    TempDir dir;
    testing::WriteBytes(dir / "in.m2v", stream);
    File file;
    EXPECT_TRUE(file.Open(dir / "in.m2v", File::Mode::Read));
    RecordingSink sink;
    PairBuffer pairs;
    const MpegStatus status = CollectCaptionPairs(file, sink, cancel, pairs);
    return {status, pairs.ToVector(), sink.positions};
}

Collected Collect(const Bytes& stream) {
    const std::atomic<int> cancel{0};
    return Collect(stream, cancel);
}

MpegOutcome Extract(const Bytes& stream, CaptionList& into) {
    TempDir dir;
    testing::WriteBytes(dir / "in.m2v", stream);
    File file;
    EXPECT_TRUE(file.Open(dir / "in.m2v", File::Mode::Read));
    RecordingSink sink;
    const std::atomic<int> cancel{0};
    return ExtractCaptions(file, sink, cancel, into);
}

// The stream of a caption user-data example: sequence header, group, the unit, a picture.
Bytes WithUserData(const Bytes& unit) {
    StreamBuilder s;
    s.SequenceHeader().Group().Add(unit).Picture();
    return s.bytes();
}

TEST(ExtractionPairs, Field1PairsBecomeFramesWithBit7Set) {
    const Bytes unit =
        CaptionUnit(0x8A, {0xFF, 0x94, 0x20, 0xFE, 0x00, 0x00, 0xFF, 0x94, 0xAE, 0xFE, 0x00, 0x00});
    const Collected got = Collect(WithUserData(unit));
    EXPECT_EQ(got.status, MpegStatus::Completed);
    EXPECT_EQ(got.pairs, (Bytes{0x94, 0xA0, 0x94, 0xAE}));
}

TEST(ExtractionPairs, Field2FirstGivesTheSamePairs) {
    const Bytes unit =
        CaptionUnit(0x8A, {0xFE, 0x00, 0x00, 0xFF, 0x94, 0x20, 0xFE, 0x00, 0x00, 0xFF, 0x94, 0xAE});
    EXPECT_EQ(Collect(WithUserData(unit)).pairs, (Bytes{0x94, 0xA0, 0x94, 0xAE}));
}

TEST(ExtractionPairs, AnyOtherMarkerEndsTheTriplets) {
    const Bytes unit = CaptionUnit(0x8A, {0xFF, 0x94, 0x20, 0xFA, 0x11, 0x22, 0xFF, 0x94, 0xAE});
    EXPECT_EQ(Collect(WithUserData(unit)).pairs, (Bytes{0x94, 0xA0}));
}

TEST(ExtractionPairs, ACaptionUnitLongerThanTheWindowIsReadThroughAllItsPieces) {
    Bytes triplets;
    Bytes expected;
    for (int i = 0; i < 25000; ++i) {
        const uint8_t a = static_cast<uint8_t>(0x80 | (i % 100));
        const uint8_t b = static_cast<uint8_t>(0x81 + i % 90);
        Append(triplets, {0xFF, a, b, 0xFE, 0x00, 0x00});
        Append(expected, {a, b});
    }
    StreamBuilder s;
    s.Group().Add(CaptionUnit(0x90, triplets)).Picture().Group();
    const Collected got = Collect(s.bytes());
    ASSERT_EQ(got.pairs.size(), expected.size());
    EXPECT_EQ(got.pairs, expected);
}

TEST(ExtractionPairs, TwoUnitsFarApartGiveConsecutiveFrames) {
    StreamBuilder s;
    s.SequenceHeader().Group().Add(CaptionUnit(0x82, {0xFF, 0x94, 0x20})).Pictures(1);
    for (int g = 0; g < 20; ++g) s.Group().Pictures(15);
    s.Group().Add(CaptionUnit(0x82, {0xFF, 0xC1, 0xC2})).Pictures(1).SequenceEnd();
    EXPECT_EQ(Collect(s.bytes()).pairs, (Bytes{0x94, 0xA0, 0xC1, 0xC2}));
}

TEST(ExtractionPairs, ProgressIsTheReaderPositionOncePerUnit) {
    StreamBuilder s;
    s.SequenceHeader().Group().Add(CaptionUnit(0x82, {0xFF, 0x94, 0x20})).Pictures(2);
    const Collected got = Collect(s.bytes());
    // sequence header, group, user data, 2 x (picture + 2 slices)
    ASSERT_EQ(got.positions.size(), 9u);
    EXPECT_EQ(got.positions[0], 12u);
    EXPECT_EQ(got.positions[1], 20u);
    EXPECT_EQ(got.positions[2], 32u);
    EXPECT_EQ(got.positions.back(), s.bytes().size());
}

TEST(ExtractionMessages, OnlyAtscUserDataMeansNoClosedCaptions) {
    Bytes atsc{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39, 0x34,
               0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20, 0xFF};
    CaptionList list;
    const MpegOutcome outcome = Extract(WithUserData(atsc), list);
    EXPECT_EQ(outcome.status, MpegStatus::NoCaptions);
    EXPECT_EQ(outcome.message, "Video file does not contain closed captions");
    EXPECT_TRUE(list.Empty());
}

TEST(ExtractionMessages, AnEmptyFileMeansNoClosedCaptions) {
    CaptionList list;
    EXPECT_EQ(Extract({}, list).message, "Video file does not contain closed captions");
}

TEST(ExtractionMessages, CaptionUnitsWithoutField1PairsMeanNoClosedCaptions) {
    CaptionList list;
    const MpegOutcome outcome =
        Extract(WithUserData(CaptionUnit(0x82, {0xFE, 0x00, 0x00, 0xFE, 0x00, 0x00})), list);
    EXPECT_EQ(outcome.message, "Video file does not contain closed captions");
}

TEST(ExtractionCancel, StopsAtTheNextUnitWithNothingCollected) {
    StreamBuilder s;
    s.SequenceHeader();
    for (int g = 0; g < 10; ++g) s.Group().Add(CaptionUnit(0x82, {0xFF, 0x94, 0x20})).Pictures(1);
    std::atomic<int> cancel{0};
    TempDir dir;
    testing::WriteBytes(dir / "in.m2v", s.bytes());
    File file;
    ASSERT_TRUE(file.Open(dir / "in.m2v", File::Mode::Read));
    RecordingSink sink;
    sink.onCall = [&](size_t count) {
        if (count == 5) cancel = 1;
    };
    CaptionList list;
    const MpegOutcome outcome = ExtractCaptions(file, sink, cancel, list);
    EXPECT_EQ(outcome.status, MpegStatus::Cancelled);
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(sink.positions.size(), 5u) << "the flag is read before each unit";
    EXPECT_TRUE(list.Empty());
}

TEST(ExtractionCancel, AFlagAlreadySetStopsBeforeTheFirstUnit) {
    std::atomic<int> cancel{1};
    const Collected got = Collect(WithUserData(CaptionUnit(0x82, {0xFF, 0x94, 0x20})), cancel);
    EXPECT_EQ(got.status, MpegStatus::Cancelled);
    EXPECT_TRUE(got.positions.empty());
}

TEST(ExtractionDecoding, CaptionsDecodedFromTheCollectedPairs) {
    CaptionList source;
    source.Insert(testing::TextCaption(10, 40, "FIRST"));
    source.Insert(testing::TextCaption(60, 100, "SECOND"));
    const EncodedCaptions encoded = EncodeCaptions(source);
    ASSERT_FALSE(encoded.bytes.empty());
    // One group of pictures per pair, each with its caption unit.
    StreamBuilder s;
    s.SequenceHeader();
    for (size_t k = 0; k + 1 < encoded.bytes.size(); k += 2) {
        s.Group().Add(CaptionUnit(0x82, {0xFF, encoded.bytes[k], encoded.bytes[k + 1]})).Picture(1);
    }
    CaptionList extracted;
    const MpegOutcome outcome = Extract(s.bytes(), extracted);
    EXPECT_EQ(outcome.status, MpegStatus::Completed);
    EXPECT_EQ(outcome.message, "");

    Bytes withBit7 = encoded.bytes;
    for (uint8_t& b : withBit7) b |= 0x80;
    CaptionList expected;
    DecodePairStream(expected, withBit7);
    ASSERT_EQ(expected.Count(), 2);
    EXPECT_TRUE(testing::SameCaptions(extracted, expected));
    EXPECT_EQ(extracted.Head()->startFrame, 10);
}

}  // namespace
}  // namespace vantrel
