// Multiplexing: where the caption units land, which pairs they carry, what happens to user
// data already in the source, and how a multiplex ends (nothing to encode, cancel, a group
// too large, failures).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "codec/encoder.h"
#include "codec/pair_buffer.h"
#include "files/file.h"
#include "mpeg/extract_captions.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/multiplex_captions.h"
#include "mpeg/stream_model.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::CaptionUnit;
using testing::RecordingSink;
using testing::StreamBuilder;
using testing::TempDir;
using testing::Unit;

struct Multiplexed {
    MpegOutcome outcome;
    bool exists = false;
    Bytes output;
    std::vector<uint64_t> positions;
};

Multiplexed Multiplex(const CaptionList& captions, const Bytes& source,
                      const std::function<void(size_t, std::atomic<int>&)>& onProgress = {}) {
    TempDir dir;
    testing::WriteBytes(dir / "in.m2v", source);
    File in;
    File out;
    EXPECT_TRUE(in.Open(dir / "in.m2v", File::Mode::Read));
    EXPECT_TRUE(out.Open(dir / "out.m2v", File::Mode::Create));
    std::atomic<int> cancel{0};
    RecordingSink sink;
    if (onProgress) sink.onCall = [&](size_t count) { onProgress(count, cancel); };
    Multiplexed m;
    m.outcome = MultiplexCaptions(captions, in, out, sink, cancel);
    out.Close();
    m.exists = std::filesystem::exists(dir / "out.m2v");
    if (m.exists) m.output = testing::ReadBytes(dir / "out.m2v");
    m.positions = sink.positions;
    return m;
}

// Captions whose stream starts with distinct pairs: "HI" shown on frame 4 is loaded on frames 0
// to 4, then erased on `end`.
void HiCaption(CaptionList& list, int32_t end = 40) {
    list.Insert(testing::TextCaption(4, end, "HI"));
}

Bytes Pairs(const CaptionList& list) {
    return EncodeCaptions(list).bytes;
}

// The caption unit for the pairs [from, from + n) of `pairs`, 80 80 past their end.
Bytes ExpectedUnit(const Bytes& pairs, size_t from, size_t n) {
    Bytes triplets;
    for (size_t k = from; k < from + n; ++k) {
        const bool have = 2 * k + 1 < pairs.size();
        Append(triplets, {0xFF, have ? pairs[2 * k] : uint8_t{0x80},
                          have ? pairs[2 * k + 1] : uint8_t{0x80}, 0xFE, 0x00, 0x00});
    }
    return CaptionUnit(static_cast<uint8_t>(0x80 | (n % 64) * 2), triplets);
}

TEST(MultiplexPlacement, ThreePicturesGetOneUnitAfterTheirGroupHeader) {
    CaptionList list;
    HiCaption(list);
    const Bytes pairs = Pairs(list);
    StreamBuilder s;
    s.SequenceHeader().Group().Pictures(3).Group().Pictures(2).SequenceEnd();

    const Multiplexed m = Multiplex(list, s.bytes());
    EXPECT_EQ(m.outcome.status, MpegStatus::Completed);
    EXPECT_EQ(m.outcome.message, "");

    // Rebuild the expected copy from the same builder calls, with the unit in place.
    StreamBuilder e;
    e.SequenceHeader().Group();
    const Bytes unit = ExpectedUnit(pairs, 0, 3);
    EXPECT_EQ(unit[8], 0x86);
    e.Add(unit).Pictures(3).Group().Pictures(2).SequenceEnd();
    EXPECT_EQ(m.output, e.bytes());
}

TEST(MultiplexPlacement, SlicesAreCopiedButNotCounted) {
    CaptionList list;
    HiCaption(list);
    StreamBuilder s;
    s.Group().Picture(30).Picture(0).Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    StreamBuilder e;
    e.Group().Add(ExpectedUnit(Pairs(list), 0, 2)).Picture(30).Picture(0).Group();
    EXPECT_EQ(m.output, e.bytes());
}

TEST(MultiplexPlacement, PicturesBeforeTheFirstGroupUseNoPairs) {
    CaptionList list;
    HiCaption(list);
    StreamBuilder s;
    s.SequenceHeader().Pictures(4).Group().Pictures(2).Group().Pictures(1);
    const Multiplexed m = Multiplex(list, s.bytes());
    StreamBuilder e;
    e.SequenceHeader()
        .Pictures(4)
        .Group()
        .Add(ExpectedUnit(Pairs(list), 0, 2))
        .Pictures(2)
        .Group()
        .Pictures(1);
    EXPECT_EQ(m.output, e.bytes());
}

TEST(MultiplexPairs, PicturesPastTheCaptionStreamGetNullPairs) {
    CaptionList list;
    HiCaption(list, 6);  // stream of 7 pairs: loading on 0-4, erase on 6
    const Bytes pairs = Pairs(list);
    ASSERT_EQ(pairs.size(), 14u);
    StreamBuilder s;
    s.Group().Pictures(10).Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    const Bytes unit = ExpectedUnit(pairs, 0, 10);
    for (int k = 7; k < 10; ++k) {
        EXPECT_EQ(unit[9 + 6 * k + 1], 0x80);
        EXPECT_EQ(unit[9 + 6 * k + 2], 0x80);
    }
    StreamBuilder e;
    e.Group().Add(unit).Pictures(10).Group();
    EXPECT_EQ(m.output, e.bytes());
}

TEST(MultiplexPairs, SixtyFourOrMorePicturesKeepOnlyTheCountModulo64InTheAttribute) {
    CaptionList list;
    HiCaption(list);
    for (const int n : {63, 64, 70, 130}) {
        StreamBuilder s;
        s.Group().Pictures(n).Group();
        const Multiplexed m = Multiplex(list, s.bytes());
        ASSERT_GT(m.output.size(), 17u);
        const Bytes unit(m.output.begin() + 8, m.output.begin() + 8 + 9 + 6 * n);
        EXPECT_EQ(unit[8], static_cast<uint8_t>(0x80 | (n % 64) * 2)) << n;
        EXPECT_EQ(unit, ExpectedUnit(Pairs(list), 0, n)) << n;
    }
}

TEST(MultiplexExistingUserData, CaptionDataIsReplacedAndAtscDataCopied) {
    CaptionList list;
    HiCaption(list);
    const Bytes atsc{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39, 0x34,
                     0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20, 0xFF};
    const Bytes old =
        CaptionUnit(0x84, {0xFF, 0xC1, 0xC2, 0xFE, 0, 0, 0xFF, 0xC3, 0xC4, 0xFE, 0, 0});
    StreamBuilder s;
    s.SequenceHeader().Group().Add(old).Add(atsc).Pictures(2).Group().Add(old).Pictures(2).Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    StreamBuilder e;
    e.SequenceHeader().Group().Add(ExpectedUnit(Pairs(list), 0, 2)).Add(atsc).Pictures(2);
    e.Group().Add(ExpectedUnit(Pairs(list), 2, 2)).Pictures(2).Group();
    EXPECT_EQ(m.output, e.bytes());
}

TEST(MultiplexExistingUserData, ALongCaptionUnitIsLeftOutWithAllItsPieces) {
    CaptionList list;
    HiCaption(list);
    Bytes old = CaptionUnit(0x82, {});
    while (old.size() < 150000) Append(old, {0xFF, 0x94, 0x20, 0xFE, 0x80, 0x80});
    StreamBuilder s;
    s.Group().Add(old).Pictures(2).Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    StreamBuilder e;
    e.Group().Add(ExpectedUnit(Pairs(list), 0, 2)).Pictures(2).Group();
    EXPECT_EQ(m.output, e.bytes());
}

// Random group structures: the copy's caption units give back the caption stream, pair for
// pair, for every group but the last, and removing them gives back the source.
TEST(MultiplexRoundTrip, ExtractionOfTheCopyGivesBackThePairsOfAllGroupsButTheLast) {
    CaptionList list;
    list.Insert(testing::TextCaption(20, 70, "ONE"));
    list.Insert(testing::TextCaption(120, 200, "TWO TWO"));
    list.Insert(testing::TextCaption(260, 300, "THREE"));
    const Bytes pairs = Pairs(list);
    std::mt19937 rng(7);
    for (int round = 0; round < 10; ++round) {
        StreamBuilder s;
        s.SequenceHeader();
        int lastGroupPictures = 0;
        const int groups = 1 + static_cast<int>(rng() % 30);
        for (int g = 0; g < groups; ++g) {
            lastGroupPictures = static_cast<int>(rng() % 25);
            s.Group();
            for (int p = 0; p < lastGroupPictures; ++p) {
                s.Picture(static_cast<int>(rng() % 4), 10 + rng() % 3000);
            }
        }
        if (round % 2) s.SequenceEnd();
        const Multiplexed m = Multiplex(list, s.bytes());
        ASSERT_EQ(m.outcome.status, MpegStatus::Completed);

        TempDir dir;
        testing::WriteBytes(dir / "copy.m2v", m.output);
        File copy;
        ASSERT_TRUE(copy.Open(dir / "copy.m2v", File::Mode::Read));
        RecordingSink sink;
        PairBuffer got;
        const std::atomic<int> cancel{0};
        CollectCaptionPairs(copy, sink, cancel, got);

        const size_t carried = static_cast<size_t>(s.pictures() - lastGroupPictures);
        Bytes expected;
        for (size_t k = 0; k < 2 * carried; ++k) {
            expected.push_back(k < pairs.size() ? (pairs[k] | 0x80) : 0x80);
        }
        EXPECT_EQ(got.ToVector(), expected) << "round " << round;
        EXPECT_EQ(m.output.size(), s.bytes().size() + 9 * (groups - 1) + 6 * carried);
    }
}

TEST(MultiplexRoundTrip, AGroupWhoseCaptionUnitOutgrowsTheWindowReadsBackWhole) {
    CaptionList list;
    HiCaption(list);
    StreamBuilder s;
    s.Group();
    for (int p = 0; p < 12000; ++p) s.Picture(0);
    s.Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
    TempDir dir;
    testing::WriteBytes(dir / "copy.m2v", m.output);
    File copy;
    ASSERT_TRUE(copy.Open(dir / "copy.m2v", File::Mode::Read));
    RecordingSink sink;
    PairBuffer got;
    const std::atomic<int> cancel{0};
    CollectCaptionPairs(copy, sink, cancel, got);
    EXPECT_EQ(got.ToVector(), testing::ExpectedPairs(Pairs(list), 12000));
}

TEST(MultiplexEnds, NoCaptionsLeaveAnEmptyDestinationAndNoMessage) {
    CaptionList list;
    StreamBuilder s;
    s.Group().Pictures(3).Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    EXPECT_EQ(m.outcome.status, MpegStatus::NothingToEncode);
    EXPECT_EQ(m.outcome.message, "");
    EXPECT_TRUE(m.exists);
    EXPECT_TRUE(m.output.empty());
    EXPECT_TRUE(m.positions.empty()) << "the source is not read";
}

TEST(MultiplexEnds, CancelStopsAtTheNextUnitAndRemovesTheDestination) {
    CaptionList list;
    HiCaption(list);
    StreamBuilder s;
    for (int g = 0; g < 50; ++g) s.Group().Pictures(5);
    const Multiplexed m = Multiplex(list, s.bytes(), [](size_t count, std::atomic<int>& cancel) {
        if (count == 40) cancel = 1;
    });
    EXPECT_EQ(m.outcome.status, MpegStatus::Cancelled);
    EXPECT_EQ(m.outcome.message, "");
    EXPECT_EQ(m.positions.size(), 40u);
    EXPECT_FALSE(m.exists);
}

TEST(MultiplexEnds, AGroupOver10MiBStopsWithItsMessageAndKeepsWhatWasWritten) {
    CaptionList list;
    HiCaption(list);
    StreamBuilder s;
    // Two groups of 6 MiB fill the output buffer past its size, so the first goes out.
    for (int g = 0; g < 2; ++g) {
        s.Group();
        for (int p = 0; p < 96; ++p) s.Picture(1, 65536);
    }
    s.Group();
    for (int p = 0; p < 170; ++p) s.Picture(1, 65536);
    s.Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    EXPECT_EQ(m.outcome.status, MpegStatus::GroupTooLarge);
    EXPECT_EQ(m.outcome.message, "Error: Encountered GOP larger than 10MB");
    ASSERT_TRUE(m.exists);
    ASSERT_GT(m.output.size(), 6u << 20);
    ASSERT_LT(m.output.size(), s.bytes().size());
    // What is there is the start of the copy: the first group header and its caption unit.
    const Bytes head(m.output.begin(), m.output.begin() + 8 + 9 + 6 * 96);
    StreamBuilder e;
    e.Group().Add(ExpectedUnit(Pairs(list), 0, 96));
    EXPECT_EQ(head, e.bytes());
}

TEST(MultiplexEnds, AGroupOfExactly10MiBIsCopied) {
    CaptionList list;
    HiCaption(list);
    // The group: picture units up to the next group header, that header included.
    Bytes group;
    for (int p = 0; p < 159; ++p) Append(group, Unit(0x00, 65536, static_cast<uint8_t>(p)));
    Append(group, Unit(0x00, kMaxGroupBytes - group.size() - 8));
    Append(group, Unit(0xB8, 8));
    ASSERT_EQ(group.size(), kMaxGroupBytes);
    Bytes source = Unit(0xB8, 8);
    Append(source, group);
    const Multiplexed m = Multiplex(list, source);
    EXPECT_EQ(m.outcome.status, MpegStatus::Completed);
    EXPECT_EQ(m.output.size(), source.size() + 9 + 6 * 160);
}

TEST(MultiplexEnds, AWriteErrorIsReportedWithTheDestinationsName) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    CaptionList list;
    HiCaption(list);
    StreamBuilder s;
    s.Group().Pictures(3).Group().Pictures(3);
    TempDir dir;
    testing::WriteBytes(dir / "in.m2v", s.bytes());
    File in;
    File out;
    ASSERT_TRUE(in.Open(dir / "in.m2v", File::Mode::Read));
    ASSERT_TRUE(out.Open("/dev/full", File::Mode::Create));
    RecordingSink sink;
    const std::atomic<int> cancel{0};
    const MpegOutcome outcome = MultiplexCaptions(list, in, out, sink, cancel);
    EXPECT_EQ(outcome.status, MpegStatus::WriteFailed);
    EXPECT_EQ(outcome.message.rfind("Error saving file /dev/full", 0), 0u) << outcome.message;
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST(MultiplexEnds, LeftOutCaptionsAreCountedWithTheirStartTimes) {
    CaptionList list;
    list.Insert(testing::TextCaption(100, 200, "KEPT"));
    list.Insert(testing::TextCaption(102, 300, "TOO CLOSE"));  // its loading overlaps
    StreamBuilder s;
    s.Group().Pictures(3).Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    EXPECT_EQ(m.outcome.status, MpegStatus::Completed);
    EXPECT_EQ(m.outcome.leftOutCount, 1u);
    EXPECT_NE(m.outcome.leftOutMessage.find("00:00:03:12"), std::string::npos)
        << m.outcome.leftOutMessage;
}

}  // namespace
}  // namespace vantrel
