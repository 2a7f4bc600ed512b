// Multiplexing: where the caption units land, which pairs they carry, what happens to user
// data already in the source, and how a multiplex ends (nothing to encode, cancel, a group
// too large, failures; captions left out are told by the worker's tests).
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "codec/encoder.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/stream_model.h"

namespace vantrel {
namespace {

using testing::Append;
using testing::Bytes;
using testing::CaptionUnit;
using testing::Multiplex;
using testing::Multiplexed;
using testing::StreamBuilder;
using testing::Unit;

// "HI" shown on frame 4 (loaded on frames 0 to 4), erased on `end`.
struct HiCaption : CaptionList {
    explicit HiCaption(int32_t end = 40) { Insert(testing::TextCaption(4, end, "HI")); }
};

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

const Bytes kAtsc{0x00, 0x00, 0x01, 0xB2, 0x47, 0x41, 0x39, 0x34,
                  0x03, 0xC1, 0xFF, 0xFC, 0x94, 0x20, 0xFF};

// A stream written as units: S sequence header, G group, P3 three pictures of two slices, P1/30
// a picture of 30 slices, E sequence end, A ATSC user data, O an old caption unit, L an old
// caption unit of 150,000 bytes, C2:3 the caption unit for pairs 2 to 4 of `pairs`.
Bytes Shape(const std::string& shape, const Bytes& pairs) {
    StreamBuilder s;
    std::istringstream in(shape);
    for (std::string t; in >> t;) {
        const int n = t.size() > 1 ? std::stoi(t.substr(1)) : 0;
        const size_t slash = t.find_first_of("/:");
        const int m = slash == std::string::npos ? 2 : std::stoi(t.substr(slash + 1));
        switch (t[0]) {
            case 'S':
                s.SequenceHeader();
                break;
            case 'G':
                s.Group();
                break;
            case 'E':
                s.SequenceEnd();
                break;
            case 'A':
                s.Add(kAtsc);
                break;
            case 'O':
                s.Add(CaptionUnit(0x84,
                                  {0xFF, 0xC1, 0xC2, 0xFE, 0, 0, 0xFF, 0xC3, 0xC4, 0xFE, 0, 0}));
                break;
            case 'C':
                s.Add(ExpectedUnit(pairs, size_t(n), size_t(m)));
                break;
            case 'P':
                for (int p = 0; p < (t.find('/') == std::string::npos ? n : 1); ++p) s.Picture(m);
                break;
            case 'L': {
                Bytes old = CaptionUnit(0x82, {});
                while (old.size() < 150000) Append(old, {0xFF, 0x94, 0x20, 0xFE, 0x80, 0x80});
                s.Add(old);
                break;
            }
        }
    }
    return s.bytes();
}

TEST(Multiplex, PlacementTable) {
    struct Case {
        const char* source;
        const char* copy;
        int32_t end = 40;  // of the caption
    };
    // clang-format off
    const Case cases[] = {
        {"S G P3 G P2 E", "S G C0:3 P3 G P2 E"},  // the unit follows its group header
        {"G P1/30 P1/0 G", "G C0:2 P1/30 P1/0 G"},  // slices are copied, not counted
        {"S P4 G P2 G P1", "S P4 G C0:2 P2 G P1"},  // pictures before the first group carry none
        {"G P10 G", "G C0:10 P10 G", 6},  // null pairs past the caption stream
        {"G P63 G", "G C0:63 P63 G"},  // the attribute keeps the count modulo 64
        {"G P64 G", "G C0:64 P64 G"},
        {"G P130 G", "G C0:130 P130 G"},
        {"S G O A P2 G O P2 G", "S G C0:2 A P2 G C2:2 P2 G"},  // caption data replaced, ATSC kept
        {"G L P2 G", "G C0:2 P2 G"},  // a long caption unit goes with all its pieces
    };
    // clang-format on
    for (const Case& c : cases) {
        const HiCaption list(c.end);
        const Multiplexed m = Multiplex(list, Shape(c.source, Pairs(list)));
        EXPECT_EQ(m.outcome.status, MpegStatus::Completed) << c.source;
        EXPECT_EQ(m.outcome.message, "") << c.source;
        EXPECT_EQ(m.output, Shape(c.copy, Pairs(list))) << c.source;
    }
}

// Random group structures: the copy's caption units give back the caption stream, pair for
// pair, for every group but the last, and removing them gives back the source.
TEST(Multiplex, ExtractionOfTheCopyGivesBackThePairsOfAllGroupsButTheLast) {
    CaptionList list;
    list.Insert(testing::TextCaption(20, 70, "ONE"));
    list.Insert(testing::TextCaption(120, 200, "TWO TWO"));
    list.Insert(testing::TextCaption(260, 300, "THREE"));
    std::mt19937 rng(7);
    for (int round = 0; round < 10; ++round) {
        StreamBuilder s;
        s.SequenceHeader();
        const int groups = 1 + static_cast<int>(rng() % 30);
        for (int g = 0; g < groups; ++g) {
            s.Group();
            for (int p = static_cast<int>(rng() % 25); p > 0; --p) {
                s.Picture(static_cast<int>(rng() % 4), 10 + rng() % 3000);
            }
        }
        if (round % 2) s.SequenceEnd();
        const Multiplexed m = Multiplex(list, s.bytes());
        ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
        const size_t carried = testing::CarriedPictures(s.bytes());
        EXPECT_EQ(testing::Collect(m.output).pairs, testing::ExpectedPairs(Pairs(list), carried))
            << "round " << round;
        EXPECT_EQ(testing::WithoutCaptionUnits(m.output), s.bytes());
        EXPECT_EQ(m.output.size(), s.bytes().size() + 9 * (groups - 1) + 6 * carried);
    }
}

TEST(Multiplex, AGroupWhoseCaptionUnitOutgrowsTheWindowReadsBackWhole) {
    const HiCaption list;
    StreamBuilder s;
    s.Group();
    for (int p = 0; p < 12000; ++p) s.Picture(0);
    s.Group();
    const Multiplexed m = Multiplex(list, s.bytes());
    ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
    EXPECT_EQ(testing::Collect(m.output).pairs, testing::ExpectedPairs(Pairs(list), 12000));
}

TEST(Multiplex, NoCaptionsLeaveAnEmptyDestinationAndNoMessage) {
    StreamBuilder s;
    s.Group().Pictures(3).Group();
    const Multiplexed m = Multiplex(CaptionList{}, s.bytes());
    EXPECT_EQ(m.outcome.status, MpegStatus::NothingToEncode);
    EXPECT_EQ(m.outcome.message, "");
    EXPECT_TRUE(m.exists);
    EXPECT_TRUE(m.output.empty());
    EXPECT_TRUE(m.positions.empty()) << "the source is not read";
}

TEST(Multiplex, CancelStopsAtTheNextUnitAndRemovesTheDestination) {
    StreamBuilder s;
    for (int g = 0; g < 50; ++g) s.Group().Pictures(5);
    const Multiplexed m =
        Multiplex(HiCaption(), s.bytes(), [](size_t count, std::atomic<int>& cancel) {
            if (count == 40) cancel = 1;
        });
    EXPECT_EQ(m.outcome.status, MpegStatus::Cancelled);
    EXPECT_EQ(m.outcome.message, "");
    EXPECT_EQ(m.positions.size(), 40u);
    EXPECT_FALSE(m.exists);
}

TEST(Multiplex, AGroupOver10MiBStopsWithItsMessageAndKeepsWhatWasWritten) {
    const HiCaption list;
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

TEST(Multiplex, AGroupOfExactly10MiBIsCopied) {
    // The group: picture units up to the next group header, that header included.
    Bytes group;
    for (int p = 0; p < 159; ++p) Append(group, Unit(0x00, 65536, static_cast<uint8_t>(p)));
    Append(group, Unit(0x00, kMaxGroupBytes - group.size() - 8));
    Append(group, Unit(0xB8, 8));
    ASSERT_EQ(group.size(), kMaxGroupBytes);
    Bytes source = Unit(0xB8, 8);
    Append(source, group);
    const Multiplexed m = Multiplex(HiCaption(), source);
    EXPECT_EQ(m.outcome.status, MpegStatus::Completed);
    EXPECT_EQ(m.output.size(), source.size() + 9 + 6 * 160);
}

TEST(Multiplex, AWriteErrorIsReportedWithTheDestinationsName) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    StreamBuilder s;
    s.Group().Pictures(3).Group().Pictures(3);
    testing::SourceFile in(s.bytes());
    File out;
    ASSERT_TRUE(out.Open("/dev/full", File::Mode::Create));
    testing::RecordingSink sink;
    const std::atomic<int> cancel{0};
    const MpegOutcome outcome = MultiplexCaptions(HiCaption(), in.file, out, sink, cancel);
    EXPECT_EQ(outcome.status, MpegStatus::WriteFailed);
    EXPECT_EQ(outcome.message.rfind("Error saving file /dev/full", 0), 0u) << outcome.message;
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

}  // namespace
}  // namespace vantrel
