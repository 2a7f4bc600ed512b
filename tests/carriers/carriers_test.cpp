// Captions in other video: the payload parsers on hand-made pictures, the placement of timed
// pairs on frames, and whole files that FFmpeg made from our DVD captions, read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "carriers/caption_payloads.h"
#include "carriers/carrier_commands.h"
#include "carriers/embed_captions.h"
#include "carriers/video_captions.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/file.h"
#include "files/files_test_support.h"
#include "files/replacing_file.h"
#include "files/subtitles.h"
#include "mpeg/extract_captions.h"
#include "mpeg/multiplex_captions.h"

namespace vantrel {
namespace {

using Bytes = std::vector<uint8_t>;
using Found = std::vector<std::tuple<int, int, int>>;

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// A/53 cc_data after "GA94": field-1 pair 94 2F, field-2 pair 15 20, 708 and invalid entries.
const Bytes kGa94 = {'G',  'A',  '9',  '4',  0x03, 0x44, 0xFF, 0xFC, 0x94, 0x2F,
                     0xFD, 0x15, 0x20, 0xFE, 0x01, 0x02, 0xFA, 0x00, 0x00, 0xFF};
const Found kGa94Pairs = {{1, 0x94, 0x2F}, {2, 0x15, 0x20}};
// An SEI payload: first a message of another type whose payload needs an emulation
// prevention byte (00 00 03 01), then the caption message.
const Bytes kSei =
    Cat({{0x05, 0x04, 0x00, 0x00, 0x03, 0x01, 0x00, 0x04, 23, 0xB5, 0x00, 0x31}, kGa94, {0x80}});

Found Read(const Bytes& bytes, int kind, int lengthSize = 0) {
    Found found;
    const PairSink sink = [&](int f, uint8_t a, uint8_t b) { found.emplace_back(f, a, b); };
    if (kind == 0) {
        ReadMpeg2UserData(bytes, sink);
    } else {
        ReadSeiCaptions(bytes, kind == 1 ? VideoCoding::H264 : VideoCoding::Hevc, lengthSize, sink);
    }
    return found;
}

TEST(CaptionPayloads, PairsOfOnePicture) {
    const Bytes aud = {0x00, 0x00, 0x00, 0x01, 0x09, 0xF0};
    const Bytes slice = {0x00, 0x00, 0x01, 0x65, 0x88, 0x80, 0x00, 0x00};
    const Bytes hevcSei =
        Cat({{0x00, 0x00, 0x00, static_cast<uint8_t>(kSei.size() + 2), 0x4E, 0x01}, kSei});
    Bytes otherProvider = Cat({{0x00, 0x00, 0x01, 0x06}, kSei});
    otherProvider[4 + 8 + 2] = 0x32;
    const struct {
        const char* what;
        Bytes bytes;
        int kind, lengthSize;
        Found pairs;
    } cases[] = {
        {"H.264 with start codes", Cat({aud, {0x00, 0x00, 0x01, 0x06}, kSei, slice}), 1, 0,
         kGa94Pairs},
        {"HEVC with lengths", Cat({hevcSei, {0x00, 0x00, 0x00, 0x02, 0x26, 0x01}}), 2, 4,
         kGa94Pairs},
        {"a length past the end", Cat({{0x00, 0x00, 0x00, 0x40, 0x4E, 0x01}, kSei}), 2, 4, {}},
        {"HEVC units are no H.264 SEI", hevcSei, 1, 4, {}},
        {"another provider", otherProvider, 1, 0, {}},
        {"MPEG-2 A/53 after the picture header",
         Cat({{0x00, 0x00, 0x01, 0x00, 0x00, 0x0F, 0x00, 0x00, 0x01, 0xB2}, kGa94, slice}), 0, 0,
         kGa94Pairs},
        {"MPEG-2 DVD triplets",
         {0x00, 0x00, 0x01, 0xB2, 0x43, 0x43, 0x01, 0xF8, 0x8A, 0xFF, 0x94, 0x20, 0xFE, 0x80, 0x80,
          0xFF, 0x94, 0x2F, 0x00},
         0,
         0,
         {{1, 0x94, 0x20}, {2, 0x80, 0x80}, {1, 0x94, 0x2F}}},
        {"MPEG-2 user data of another kind",
         {0x00, 0x00, 0x01, 0xB2, 'G', 'A', '9', '4', 0x06},
         0,
         0,
         {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read(c.bytes, c.kind, c.lengthSize), c.pairs) << c.what;
    }
    // Cut off anywhere, a unit gives at most the pairs it gives whole, in their order: nothing
    // from past the cut (the sanitizers watch the reads as well).
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (size_t n = 0; n < c.bytes.size(); ++n) {
            const auto got =
                Read(Bytes(c.bytes.begin(), c.bytes.begin() + n), c.kind, c.lengthSize);
            ASSERT_LE(got.size(), c.pairs.size()) << n << " bytes";
            EXPECT_TRUE(std::equal(got.begin(), got.end(), c.pairs.begin())) << n << " bytes";
        }
    }
    EXPECT_EQ(Mpeg2PictureType(Bytes{0x00, 0x00, 0x01, 0x00, 0x00, 0x1F}), kMpeg2BPicture);
}

// Pairs by presentation time: reordered, a picture's pairs on consecutive frames, a frame taken
// already passed on to the next.
TEST(VideoCaptions, PairsPlacedByPresentationTime) {
    const double frame = 1001.0 / 30000.0;
    const struct {
        const char* what;
        std::vector<TimedPairs> pictures;
        double start;
        std::vector<uint8_t> field1, field2;
        std::vector<int64_t> dtvcc;  // frame, type, first byte of each 708 entry
    } cases[] = {
        {"reordered, 708 entries on their pictures' frames in time order",
         {{2 * frame, {0x94, 0x20}, {}, {3, 0x01, 0x02, 2, 0x03, 0x04}},
          {1 * frame, {0x94, 0x2F}, {0x15, 0x20}, {3, 0x05, 0x06}}},
         0,
         {0x80, 0x80, 0x94, 0xAF, 0x94, 0xA0},
         {0x80, 0x80, 0x95, 0xA0},
         {1, 3, 0x05, 2, 3, 0x01, 2, 2, 0x03}},
        {"consecutive, then pushed on",
         {{0, {0x94, 0x20, 0x41, 0x42}, {}, {}}, {frame, {0x43, 0x44}, {}, {}}},
         0,
         {0x94, 0xA0, 0xC1, 0xC2, 0xC3, 0xC4},
         {},
         {}},
        {"from the first picture, rounded",
         {{100.0 + 2.6 * frame, {0x94, 0x2F}, {}, {}}},
         100.0,
         {0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x94, 0xAF},
         {},
         {}},
        {"an hour in", {{3600.0, {0x94, 0x2F}, {}, {}}}, 0, {}, {}, {}},
    };
    for (const auto& c : cases) {
        CaptionFileData d;
        PlaceTimedPairs(c.pictures, c.start, d);
        if (c.field1.empty()) {
            EXPECT_EQ(d.pairs.size(), 2u * 107892 + 2) << c.what;  // round(3600 x 29.97) = 107892
            continue;
        }
        EXPECT_EQ(d.pairs, c.field1) << c.what;
        EXPECT_EQ(d.field2Pairs, c.field2) << c.what;
        std::vector<int64_t> dtvcc;
        for (const dtvcc::Entry& e : d.dtvcc)
            dtvcc.insert(dtvcc.end(), {e.frame, e.type, e.data[0]});
        EXPECT_EQ(dtvcc, c.dtvcc) << c.what;
    }
}

struct NoProgress : ProgressSink {
    void SetProgress(uint64_t) override {}
};

// A/53 pairs of an elementary stream in display order: pictures of temporal references 2, 0, 1
// in the stream, each with one pair.
TEST(VideoCaptions, ElementaryStreamPairsInDisplayOrder) {
    Bytes stream = {0x00, 0x00, 0x01, 0xB3, 0x0A, 0x00, 0x78, 0x14, 0xFF, 0xFF,
                    0xE0, 0x00, 0x00, 0x00, 0x01, 0xB8, 0x00, 0x08, 0x00, 0x00};
    for (const int tr : {2, 0, 1}) {
        const auto b = static_cast<uint8_t>(0x41 + 2 * tr);
        const Bytes picture = {0x00, 0x00,
                               0x01, 0x00,
                               0x00, static_cast<uint8_t>(tr << 6 | 0x08),
                               0x00, 0x00,
                               0x01, 0xB2,
                               'G',  'A',
                               '9',  '4',
                               0x03, 0x41,
                               0xFF, 0xFC,
                               b,    static_cast<uint8_t>(b + 1),
                               0xFF};
        stream.insert(stream.end(), picture.begin(), picture.end());
    }
    testing::TempDir dir;
    testing::WriteFileText(dir.File("a.m2v"), std::string(stream.begin(), stream.end()));
    File file;
    ASSERT_TRUE(file.Open(dir.File("a.m2v"), File::Mode::Read));
    NoProgress progress;
    std::vector<uint8_t> pairs;
    EXPECT_EQ(CollectCaptionPairs(file, progress, std::atomic<int>{0}, pairs),
              MpegStatus::Completed);
    EXPECT_EQ(pairs, (Bytes{0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6}));
}

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Our DVD captions in an MPEG-2 stream, and what FFmpeg makes of that stream when it re-encodes
// it with A/53 captions (an elementary stream too), or copies it into a program stream or under
// a c608 track: the same texts, at most a group of pictures (15) later; our own A/53 stream
// re-encoded, at most a frame later.
TEST(VideoCaptions, WhatFfmpegCarriesReadsAsOurDvdStream) {
    if (!Shell("ffmpeg -version")) GTEST_SKIP() << "no ffmpeg";
    testing::TempDir dir;
    const std::string src = dir.File("src.m2v"), dvd = dir.File("dvd.m2v");
    ASSERT_TRUE(
        Shell("ffmpeg -y -f lavfi -i testsrc=size=160x120:rate=30000/1001 -frames:v 400 "
              "-c:v mpeg2video -g 15 -bf 2 '" +
              src + "'"));
    CaptionList captions;
    for (int n = 0; n < 4; ++n) {
        testing::AddCaption(captions, 20 + 90 * n, 80 + 90 * n, "CAPTION " + std::to_string(n),
                            14 - n);
    }
    NoProgress progress;
    const std::atomic<int> cancel{0};
    {
        File in, out;
        ASSERT_TRUE(in.Open(src, File::Mode::Read) && out.Open(dvd, File::Mode::Create));
        ASSERT_EQ(MultiplexCaptions(captions, in, out, progress, cancel).status,
                  MpegStatus::Completed);
    }
    CaptionList ours;
    {
        File in;
        ASSERT_TRUE(in.Open(dvd, File::Mode::Read));
        ASSERT_EQ(ExtractCaptions(in, progress, cancel, ours).status, MpegStatus::Completed);
    }
    ASSERT_EQ(ours.Count(), 4);
    testing::WriteFileText(dir.File("ours.scc"),
                           FormatCaptionFile(EncodeCaptions(ours).bytes, "scc"));
    // Our A/53 user data in a copy of the source, re-encoded too: within a frame of ours.
    {
        ReplacingFile a53;
        ASSERT_TRUE(a53.Open(dir.File("ours-a53.m2v")));
        ASSERT_EQ(EmbedCaptions(captions, src, a53.Output(), progress, cancel).status,
                  MpegStatus::Completed);
        ASSERT_TRUE(a53.Commit());
    }
    const std::string d = "ffmpeg -y -i '" + dvd + "' ";
    const struct {
        const char* name;
        std::string command;
        int late = 15;  // frames
    } files[] = {
        {"ours-a53.mp4", "ffmpeg -y -i '" + dir.File("ours-a53.m2v") + "' -c:v libx264 -a53cc 1",
         1},
        {"h264.mp4", d + "-c:v libx264 -a53cc 1 -bf 3"},
        {"h264.ts", d + "-c:v libx264 -a53cc 1"},
        {"h264.mkv", d + "-c:v libx264 -a53cc 1"},
        {"mpeg2.ts", d + "-c:v mpeg2video -a53cc 1 -bf 2"},
        {"dvd.mpg", d + "-c copy -f vob"},
        {"a53.m2v", d + "-c:v mpeg2video -a53cc 1 -bf 2 -f mpeg2video"},
        {"c608.mov", "ffmpeg -y -i '" + dir.File("h264.mp4") + "' -f scc -i '" +
                         dir.File("ours.scc") + "' -map 0:v -map 1 -c copy"},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        const std::string path = dir.File(f.name);
        ASSERT_TRUE(Shell(f.command + " '" + path + "'"));
        CaptionList theirs;
        File file;  // an elementary stream goes through the MPEG-2 reader
        const MpegOutcome outcome = path.ends_with(".m2v") && file.Open(path, File::Mode::Read)
                                        ? ExtractCaptions(file, progress, cancel, theirs)
                                        : ExtractVideoCaptions(path, progress, cancel, theirs);
        ASSERT_EQ(outcome.status, MpegStatus::Completed) << outcome.message;
        ASSERT_EQ(theirs.Count(), ours.Count());
        for (const Caption *a = ours.Head(), *b = theirs.Head(); a && b; a = a->next, b = b->next) {
            char x[kSubtitleTextCapacity + 1], y[kSubtitleTextCapacity + 1];
            EXPECT_EQ(std::string(x, a->GetRunningText(x, false, kSubtitleTextCapacity)),
                      std::string(y, b->GetRunningText(y, false, kSubtitleTextCapacity)));
            EXPECT_GE(b->startFrame, a->startFrame - 1);  // .scc time codes at 30 per second
            EXPECT_LE(b->startFrame, a->startFrame + f.late);
        }
    }
    // A raw stream has no time stamps to place its captions by.
    ASSERT_TRUE(Shell(d + "-c:v libx264 -a53cc 1 -f h264 '" + dir.File("raw.h264") + "'"));
    CaptionList none;
    const MpegOutcome raw = ExtractVideoCaptions(dir.File("raw.h264"), progress, cancel, none);
    EXPECT_EQ(raw.status, MpegStatus::NotAVideoStream);
    EXPECT_NE(raw.message.find("is a raw H.264 stream whose pictures have no time stamps"),
              std::string::npos);
}

}  // namespace
}  // namespace vantrel
