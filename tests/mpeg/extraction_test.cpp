// Caption extraction: which user data is taken, how pairs become frames and progress, and how a
// cancel ends it.
#include <gtest/gtest.h>

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

TEST(Extraction, TwoUnitsFarApartGiveConsecutiveFramesAndProgressOncePerUnit) {
    StreamBuilder s;
    s.SequenceHeader().Group().Add(CaptionUnit(0x82, {0xFF, 0x94, 0x20})).Pictures(1);
    for (int g = 0; g < 20; ++g) s.Group().Pictures(15);
    s.Group().Add(CaptionUnit(0x82, {0xFF, 0xC1, 0xC2})).Pictures(1).SequenceEnd();
    const testing::Collected got = Collect(s.bytes());
    EXPECT_EQ(got.pairs, (Bytes{0x94, 0xA0, 0xC1, 0xC2}));
    // Header, group, unit, picture and two slices; 20 groups of 15; group, unit, picture; end.
    ASSERT_EQ(got.positions.size(), 6u + 20 * (1 + 15 * 3) + 5 + 1);
    EXPECT_EQ(got.positions[0], 12u);
    EXPECT_EQ(got.positions[1], 20u);
    EXPECT_EQ(got.positions.back(), s.bytes().size());
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

}  // namespace
}  // namespace vantrel
