// The frame index: display order from coding types or times, where decoding starts for a
// frame, and finding a packet again after a seek. The frame clock: frame times to frame-exact
// positions, no frame lost to rounding however long the video.
#include "video/frame_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "video/frame_clock.h"

namespace vantrel {
namespace {

// One letter per packet in decode order: I and P anchors, B bidirectional, f a second field;
// key pictures are the I's.
std::vector<CodedPicture> Coded(const std::string& codings) {
    std::vector<CodedPicture> pictures;
    for (char c : codings) {
        CodedPicture picture;
        picture.key = c == 'I';
        picture.coding = c == 'B'   ? PictureCoding::kBidirectional
                         : c == 'f' ? PictureCoding::kSecondField
                                    : PictureCoding::kAnchor;
        picture.digest = pictures.size() % 3;  // equal packets come again
        picture.size = 100;
        pictures.push_back(picture);
    }
    return pictures;
}

TEST(FrameIndex, CodingTypesGiveTheDisplayOrderAndTheKeyToStartFrom) {
    struct Case {
        const char* codings;
        std::vector<int64_t> frames;  // frame of each picture
        std::vector<int64_t> starts;  // frame of the key to start from, for each frame
    };
    const Case cases[] = {
        {"IPBBPBB", {0, 3, 1, 2, 6, 4, 5}, {0, 0, 0, 0, 0, 0, 0}},
        // Open group: the B's after the second I show before it and decode from the first.
        {"IPBBIBBP", {0, 3, 1, 2, 6, 4, 5, 7}, {0, 0, 0, 0, 0, 0, 6, 6}},
        // A stream cut in an open group: the B's before the first I cannot be decoded.
        {"IBBPIBB", {0, -1, -1, 1, 4, 2, 3}, {0, 0, 0, 0, 4}},
        // Field pairs: the second field shows nothing of its own.
        {"IfPfBfIf", {0, -1, 2, -1, 1, -1, 3, -1}, {0, 0, 0, 3}},
    };
    for (const Case& c : cases) {
        FrameIndex index(Coded(c.codings), true);
        ASSERT_EQ(index.FrameCount(), static_cast<int64_t>(c.starts.size())) << c.codings;
        for (size_t i = 0; i < c.frames.size(); ++i) {
            EXPECT_EQ(index.FrameOf(i), c.frames[i]) << c.codings << " picture " << i;
        }
        for (size_t f = 0; f < c.starts.size(); ++f) {
            FrameIndex::Start start = index.StartFor(static_cast<int64_t>(f));
            EXPECT_EQ(start.frame, c.starts[f]) << c.codings << " frame " << f;
            EXPECT_EQ(index.FrameOf(start.picture), start.frame) << c.codings;
            EXPECT_TRUE(index.Pictures()[start.picture].key) << c.codings;
        }
    }
}

TEST(FrameIndex, TimesGiveTheDisplayOrderUnlessOneIsMissing) {
    std::vector<CodedPicture> pictures = Coded("IPPPP");
    const int64_t times[] = {0, 4000, 1000, 3000, 2000};
    for (size_t i = 0; i < pictures.size(); ++i) pictures[i].pts = times[i];
    FrameIndex timed(pictures, false);
    const int64_t frames[] = {0, 4, 1, 3, 2};
    for (size_t i = 0; i < pictures.size(); ++i) EXPECT_EQ(timed.FrameOf(i), frames[i]);
    pictures[3].pts = CodedPicture::kNoTime;
    FrameIndex untimed(pictures, false);
    for (size_t i = 0; i < pictures.size(); ++i) EXPECT_EQ(untimed.FrameOf(i), int64_t(i));
}

TEST(FrameIndex, EqualPacketsAreTakenInTheOrderExpected) {
    FrameIndex index(Coded("IPPPPPP"), true);  // digests 0 1 2 0 1 2 0
    EXPECT_EQ(index.PictureOf(0, 100, 3), 3);  // the expected one
    EXPECT_EQ(index.PictureOf(1, 100, 3), 4);  // else the nearest, after it
    EXPECT_EQ(index.PictureOf(0, 100, 1), 0);  // or before it
    EXPECT_EQ(index.PictureOf(2, 100, 6), 5);
    EXPECT_EQ(index.PictureOf(0, 99, 3), -1);  // a different size is other data
    EXPECT_EQ(index.PictureOf(7, 100, 0), -1);
}

TEST(FrameIndex, PictureCodingIsReadFromTheHeaders) {
    // MPEG-2 picture header with coding type t, optionally its coding extension with a
    // structure (3 frame, 1 or 2 field).
    auto mpeg2 = [](std::vector<std::pair<int, int>> pictures) {
        std::vector<uint8_t> bytes;
        for (auto [type, structure] : pictures) {
            bytes.insert(bytes.end(), {0, 0, 1, 0x00, 0x00, uint8_t(type << 3), 0xFF, 0xF8});
            if (structure != 0) {
                bytes.insert(bytes.end(), {0, 0, 1, 0xB5, 0x8F, 0xFF, uint8_t(0xF0 | structure)});
            }
            bytes.insert(bytes.end(), {0, 0, 1, 0x01, 0x12, 0x34, 0x00, 0x00, 0x56});
        }
        return bytes;
    };
    struct Case {
        bool mpeg4;
        std::vector<uint8_t> bytes;
        bool openFieldBefore;
        PictureCoding coding;
        bool openFieldAfter;
    };
    const Case cases[] = {
        {false, mpeg2({{1, 3}}), false, PictureCoding::kAnchor, false},
        {false, mpeg2({{2, 0}}), false, PictureCoding::kAnchor, false},  // MPEG-1
        {false, mpeg2({{3, 3}}), false, PictureCoding::kBidirectional, false},
        {false, mpeg2({{3, 1}, {3, 2}}), false, PictureCoding::kBidirectional, false},
        {false, mpeg2({{3, 1}}), false, PictureCoding::kBidirectional, true},
        {false, mpeg2({{3, 2}}), true, PictureCoding::kSecondField, false},
        {true, {0, 0, 1, 0xB6, 0x80, 0x12}, false, PictureCoding::kBidirectional, false},
        {true, {0, 0, 1, 0xB6, 0x40, 0x12}, false, PictureCoding::kAnchor, false},
        {true, {0, 0, 1, 0xB6, 0x00, 0x12}, false, PictureCoding::kAnchor, false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        bool openField = c.openFieldBefore;
        EXPECT_EQ(ReadPictureCoding(c.mpeg4, c.bytes.data(), c.bytes.size(), openField), c.coding)
            << "case " << i;
        EXPECT_EQ(openField, c.openFieldAfter) << "case " << i;
        // Packets cut anywhere are read within their bytes (the sanitizer build checks): before
        // a whole header nothing is read, after it the picture type is the uncut packet's.
        for (size_t cut = 0; cut < c.bytes.size(); ++cut) {
            std::vector<uint8_t> part(c.bytes.begin(), c.bytes.begin() + cut);
            bool open = false;
            const PictureCoding got = ReadPictureCoding(c.mpeg4, part.data(), part.size(), open);
            if (cut < 6) {
                EXPECT_EQ(got, PictureCoding::kAnchor) << "case " << i << " cut " << cut;
            } else if (c.coding != PictureCoding::kSecondField) {
                EXPECT_EQ(got, c.coding) << "case " << i << " cut " << cut;
            }
        }
    }
}

constexpr double kNtsc = 30000.0 / 1001.0;

// The time of frame k in a 29.97 fps stream that starts at `origin`, as its pts says.
double FrameTime(double origin, int64_t k) {
    return origin + static_cast<double>(k) * 1001.0 / 30000.0;
}

TEST(FrameClock, EveryFrameOfAnHourLongVideoComesBackAsItsOwnIndex) {
    // A transport stream starting at 1.4 s, and Matroska's times in whole milliseconds; the view
    // divides positions by 333667, truncating.
    for (const auto& [origin, perSecond] : {std::pair{1.433367, 0.0}, std::pair{0.0, 1000.0}}) {
        FrameClock clock(origin, kNtsc, 108000);
        for (int64_t k = 0; k < 108000; ++k) {
            const double time = FrameTime(origin, k);
            ASSERT_EQ(clock.FrameAt(perSecond ? std::round(time * perSecond) / perSecond : time), k)
                << origin;
            ASSERT_EQ(FrameClock::PositionOfFrame(k) / 333667, k);
            ASSERT_EQ(clock.FrameOfPosition(FrameClock::PositionOfFrame(k)), k);
        }
        EXPECT_EQ(clock.Duration() / 333667, 108000);
    }
}

TEST(FrameClock, SeekTargetsFallBetweenTheFrameAndTheOneBefore) {
    // An exact seek shows the first frame at or after the target less 5 ms.
    const double slack = 0.005;
    for (double origin : {0.0, 0.033367, 1.433367}) {
        FrameClock clock(origin, kNtsc, 200000);
        for (int64_t k : {1, 2, 15, 1000, 107999, 199999}) {
            double target = clock.SeekTime(k);
            EXPECT_GT(target - slack, FrameTime(origin, k - 1) + 0.0005) << origin << " " << k;
            EXPECT_LE(target - slack, FrameTime(origin, k) - 0.0005) << origin << " " << k;
        }
        // Never negative: libmpv counts negative targets from the end.
        EXPECT_GE(clock.SeekTime(0), 0.0);
    }
}

TEST(FrameClock, PositionsAndTimesStayWithinTheVideoAndOtherRatesCountTheirOwnFrames) {
    FrameClock clock(0.5, kNtsc, 120);
    EXPECT_EQ(clock.FrameAt(0.0), 0);
    EXPECT_EQ(clock.FrameAt(1000.0), 119);
    EXPECT_EQ(clock.FrameOfPosition(-333667 * 5), 0);
    EXPECT_EQ(clock.FrameOfPosition(clock.Duration() - 1), 119);
    EXPECT_EQ(clock.FrameOfPosition(clock.Duration() + 333667 * 9), 119);
    // A position inside a frame belongs to that frame.
    EXPECT_EQ(clock.FrameOfPosition(333667 * 7 + 333666), 7);
    FrameClock pal(0.0, 25.0, 1000);
    EXPECT_EQ(pal.FrameAt(40 * 0.04), 40);
    EXPECT_EQ(pal.FrameAt(999 * 0.04), 999);
    EXPECT_NEAR(pal.SeekTime(40), 1.6 - 0.01, 1e-9);
}

}  // namespace
}  // namespace vantrel
