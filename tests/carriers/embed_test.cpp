// Captions embedded into H.264, HEVC and MPEG-2 video without re-encoding it, checked by FFmpeg:
// its caption decoder reads our words at our times, and the pictures and packets are those of the
// source.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "carriers/caption_payloads.h"
#include "carriers/carrier_commands.h"
#include "carriers/embed_captions.h"
#include "carriers/video_captions.h"
#include "dtvcc/service_decoder.h"
#include "files/files_test_support.h"
#include "files/replacing_file.h"
#include "files/subtitles.h"
#include "model/caption_project.h"

namespace vantrel {
namespace {

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

struct NoProgress : ProgressSink {
    void SetProgress(uint64_t) override {}
};

// What FFmpeg says of the video stream: the pictures' checksums and the packets. A tool that
// fails fails the test, so that two failures never compare equal.
std::string Pictures(const std::string& path, const testing::TempDir& dir) {
    const std::string md5 = dir.File("md5"), packets = dir.File("packets");
    EXPECT_TRUE(
        Shell("ffmpeg -nostdin -v error -y -i '" + path + "' -map 0:v -f framemd5 '" + md5 + "'"))
        << path;
    EXPECT_TRUE(
        Shell("ffprobe -v error -select_streams v:0 -count_packets -show_entries "
              "stream=nb_read_packets -of csv '" +
              path + "' > '" + packets + "'"))
        << path;
    std::string out;
    size_t pictures = 0;
    std::istringstream lines(testing::ReadFileText(md5));
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with('#')) continue;  // the header names the file's own details
        out += line + "\n";
        ++pictures;
    }
    EXPECT_GT(pictures, 200u) << path << ": 11 s of video";
    return out + testing::ReadFileText(packets);
}

struct Source {
    const char* label;
    const char* name;  // the extension
    const char* encoding;
    CaptionCarrier carrier = CaptionCarrier::Pictures;
};

class Embedding : public ::testing::TestWithParam<Source> {};

TEST_P(Embedding, FfmpegReadsOurCaptionsAndTheSamePictures) {
    if (!Shell("ffmpeg -version >/dev/null 2>&1")) GTEST_SKIP() << "no ffmpeg";
    const Source s = GetParam();
    testing::TempDir dir;
    const std::string src = dir.File(std::string("src.") + s.name),
                      out = dir.File(std::string("out.") + s.name);
    ASSERT_TRUE(
        Shell(std::string("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=") +
              s.encoding + " -x265-params log-level=error -t 11 '" + src + "'"));
    CaptionList captions;
    for (int n = 0; n < 3; ++n) {
        testing::AddCaption(captions, 30 + 90 * n, 90 + 90 * n, "CAPTION " + std::to_string(n),
                            14 - n);
    }
    NoProgress progress;
    const std::atomic<int> cancel{0};
    {
        ReplacingFile file;
        ASSERT_TRUE(file.Open(out));
        const MpegOutcome outcome =
            EmbedCaptions(captions, src, file.Output(), progress, cancel, s.carrier);
        ASSERT_EQ(outcome.status, MpegStatus::Completed) << outcome.message;
        ASSERT_TRUE(file.Commit());
    }
    // FFmpeg decodes the captions of the pictures through its movie source, a track directly.
    const std::string input = s.carrier == CaptionCarrier::Track
                                  ? "-i '" + out + "' -map 0:s"
                                  : "-f lavfi -i \"movie=" + out + "[out0+subcc]\" -map 0:1";
    ASSERT_TRUE(
        Shell("ffmpeg -nostdin -v error -y " + input + " '" + dir.File("theirs.srt") + "'"));
    const auto theirs = testing::ParseSrt(testing::ReadFileText(dir.File("theirs.srt")), true);
    const auto ours = testing::ParseSrt(SubtitleText(captions, true), true);
    ASSERT_EQ(theirs.size(), ours.size());
    for (size_t k = 0; k < ours.size(); ++k) {
        EXPECT_EQ(theirs[k].text, ours[k].text);
        EXPECT_NEAR(theirs[k].start, ours[k].start, 1001.0 / 30000);
    }
    EXPECT_EQ(Pictures(out, dir), Pictures(src, dir));

    // Our DTVCC decoder reads service 1 back from the pictures: the 608 captions' words from
    // their display frames (the first frame of the picture that shows them); a track holds
    // 608 only.
    CaptionFileData read;
    std::string message;
    ASSERT_EQ(ReadVideoCaptions(out, progress, cancel, read, message), MpegStatus::Completed);
    CaptionList by708;
    dtvcc::DecodeService(by708, dtvcc::PacketsOf(read.dtvcc), 1);
    const auto service = testing::ParseSrt(SubtitleText(by708), true);
    if (s.carrier == CaptionCarrier::Track) {
        EXPECT_TRUE(service.empty());
        return;
    }
    ASSERT_EQ(service.size(), ours.size());
    for (size_t k = 0; k < ours.size(); ++k) {
        EXPECT_EQ(service[k].text, ours[k].text);
        EXPECT_NEAR(service[k].start, ours[k].start, 1001.0 / 30000);
    }
    // Asked for CC3, which the pictures lack, the import reads service 1 and says so.
    CaptionList imported;
    const MpegOutcome got = ExtractVideoCaptions(out, progress, cancel, imported, {.channel = 3});
    ASSERT_EQ(got.status, MpegStatus::Completed) << got.message;
    EXPECT_TRUE(testing::SameCaptions(imported, by708));
    EXPECT_NE(got.madeMessage.find("3 captions were read from 708 service 1"), std::string::npos)
        << got.madeMessage;
}

INSTANTIATE_TEST_SUITE_P(
    Sources, Embedding,
    ::testing::Values(Source{"mp4", "mp4", "30000/1001 -c:v libx264 -bf 3"},
                      Source{"ts", "ts", "30000/1001 -c:v libx264"},
                      Source{"mkv", "mkv", "30000/1001 -c:v libx265"},
                      Source{"mov23976", "mov", "24000/1001 -c:v libx264"},
                      Source{"m4v5994", "m4v", "60000/1001 -c:v libx264 -f mp4"},
                      Source{"mpeg2ts", "mts", "30000/1001 -c:v mpeg2video -bf 2"},
                      Source{"mpg", "mpg", "30000/1001 -c:v mpeg2video -bf 2 -f vob"},
                      Source{"m2v", "m2v", "30000/1001 -c:v mpeg2video -bf 2 -f mpeg2video"},
                      Source{"movc608", "mov", "30000/1001 -c:v libx264 -bf 2",
                             CaptionCarrier::Track}),
    [](const auto& info) { return std::string(info.param.label); });

// Captions embedded into an H.264 video made by FFmpeg: the output's path.
std::string EmbeddedVideo(const testing::TempDir& dir, const std::string& name,
                          const CaptionList& captions, bool with708 = true) {
    const std::string src = dir.File("src-" + name), out = dir.File(name);
    EXPECT_TRUE(
        Shell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=160x120:rate=30000/1001 -c:v "
              "libx264 -t 11 '" +
              src + "'"));
    NoProgress progress;
    const std::atomic<int> cancel{0};
    ReplacingFile file;
    EXPECT_TRUE(file.Open(out));
    const MpegOutcome outcome = EmbedCaptions(captions, src, file.Output(), progress, cancel,
                                              CaptionCarrier::Pictures, with708);
    EXPECT_EQ(outcome.status, MpegStatus::Completed) << outcome.message;
    EXPECT_TRUE(file.Commit());
    return out;
}

// mux.js, the caption parser of a web player with its own 608 and 708 decoders, reads service 1
// of our transport stream as the same captions as CC1: the same words, from the same frame.
TEST(Embedding, MuxJsReadsThe708ServiceAsThe608) {
    const std::string muxjs = VANTREL_NPM_DIR "/node_modules/mux.js";
    if (!Shell("ffmpeg -version >/dev/null 2>&1 && node --version >/dev/null 2>&1 && test -d '" +
               muxjs + "'")) {
        GTEST_SKIP() << "no ffmpeg, node or mux.js (scripts/install-deps.sh installs them)";
    }
    testing::TempDir dir;
    CaptionList captions;
    testing::AddCaption(captions, 30, 90, "ONE TWO");
    testing::AddCaption(captions, 91, 150, "THREE", 13);
    testing::AddCaption(captions, 200, 260, "FOUR FIVE");
    const std::string out = EmbeddedVideo(dir, "out.ts", captions);
    ASSERT_TRUE(Shell("node '" VANTREL_SOURCE_DIR "/tests/carriers/muxjs_captions.js' '" +
                      std::string(VANTREL_NPM_DIR) + "' '" + out + "' > '" + dir.File("read") +
                      "'"));
    std::map<std::string, std::vector<std::pair<double, std::string>>> streams;
    std::istringstream lines(testing::ReadFileText(dir.File("read")));
    for (std::string stream, time, text; std::getline(lines, stream, '\t') &&
                                         std::getline(lines, time, '\t') &&
                                         std::getline(lines, text);) {
        streams[stream].emplace_back(std::stod(time), text);
    }
    const std::vector<std::pair<double, std::string>> want = {{30 * 1001.0 / 30000, "ONE TWO"},
                                                              {91 * 1001.0 / 30000, "THREE"},
                                                              {200 * 1001.0 / 30000, "FOUR FIVE"}};
    for (const char* name : {"CC1", "cc708_1"}) {
        SCOPED_TRACE(name);
        const auto& got = streams[name];
        ASSERT_EQ(got.size(), want.size());
        for (size_t k = 0; k < want.size(); ++k) {
            EXPECT_EQ(got[k].second, want[k].second);
            EXPECT_NEAR(got[k].first, want[k].first, 1001.0 / 30000);
        }
    }
}

// MediaInfo lists both caption streams of our MP4 and transport stream, and no 708 one when it
// is left out.
TEST(Embedding, MediaInfoListsThe608AndThe708Captions) {
    if (!Shell("ffmpeg -version >/dev/null 2>&1 && mediainfo --version >/dev/null 2>&1"))
        GTEST_SKIP() << "no ffmpeg or mediainfo (scripts/install-deps.sh installs them)";
    testing::TempDir dir;
    CaptionList captions;
    for (int n = 0; n < 3; ++n) testing::AddCaption(captions, 30 + 90 * n, 90 + 90 * n, "HELLO");
    for (const auto& [name, with708] :
         {std::pair{"out.mp4", true}, {"out.ts", true}, {"no708.ts", false}}) {
        SCOPED_TRACE(name);
        const std::string out = EmbeddedVideo(dir, name, captions, with708);
        ASSERT_TRUE(Shell("mediainfo --Inform='Text;%Format%\\n' '" + out + "' > '" +
                          dir.File("info") + "'"));
        const std::string info = testing::ReadFileText(dir.File("info"));
        EXPECT_NE(info.find("EIA-608"), std::string::npos) << info;
        EXPECT_EQ(info.find("EIA-708") != std::string::npos, with708) << info;
    }
}

// A cancelled or refused embedding leaves no output behind.
TEST(Embedding, NothingLeftWhenItDoesNotComplete) {
    if (!Shell("ffmpeg -version >/dev/null 2>&1")) GTEST_SKIP() << "no ffmpeg";
    testing::TempDir dir;
    const std::string src = dir.File("src.mp4");
    ASSERT_TRUE(Shell("ffmpeg -nostdin -v error -f lavfi -i testsrc=size=64x48:rate=25 -t 2 '" +
                      src + "'"));
    CaptionProject project;
    testing::AddCaption(project.captions, 10, 40, "HELLO");
    struct Display : ProgressDisplay {
        void Run(ProgressWorker& worker) override {
            worker.Start([](uint32_t) {}, [] {});
            worker.Wait();
        }
    } display;
    for (const int cancelled : {1, 0}) {  // then refused: 25 pictures a second
        project.cancel = cancelled;
        const MpegOutcome outcome = EmbedToFile(project, src, dir.File("out.mp4"), display);
        EXPECT_EQ(outcome.status, cancelled ? MpegStatus::Cancelled : MpegStatus::NotAVideoStream);
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"src.mp4"});
    }
}

// Sources made awkward on purpose: each row's source, the output's name, the outcome's status
// and a piece of what the user is told (the message, or what was left out).
struct AwkwardSource {
    const char* label;
    const char* make;  // shell lines run in the test's folder, making src.*
    const char* source;
    const char* output;
    MpegStatus status;
    const char* told;
};

class AwkwardSources : public ::testing::TestWithParam<AwkwardSource> {};

TEST_P(AwkwardSources, AreCopiedOrRefusedWithAWord) {
    if (!Shell("ffmpeg -version >/dev/null 2>&1")) GTEST_SKIP() << "no ffmpeg";
    const AwkwardSource s = GetParam();
    testing::TempDir dir;
    const std::string ff = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=64x48:rate=";
    ASSERT_TRUE(Shell("cd '" + dir.Path() + "' && F='" + ff + "' && " + s.make));
    CaptionList captions;
    testing::AddCaption(captions, 30, 90, "HELLO");
    NoProgress progress;
    const std::atomic<int> cancel{0};
    ReplacingFile file;
    ASSERT_TRUE(file.Open(dir.File(s.output)));
    const MpegOutcome outcome =
        EmbedCaptions(captions, dir.File(s.source), file.Output(), progress, cancel);
    ASSERT_EQ(outcome.status, s.status) << outcome.message;
    EXPECT_NE((outcome.message + outcome.skippedMessage).find(s.told), std::string::npos)
        << outcome.message << outcome.skippedMessage;
    if (s.status != MpegStatus::Completed) return;
    ASSERT_TRUE(file.Commit());
    // The streams FFmpeg finds at the start are all there, with every packet of their own.
    const auto packets = [&](const std::string& name) {
        Shell(
            "ffprobe -v error -count_packets -show_entries stream=index,nb_read_packets -of "
            "csv=p=0 '" +
            dir.File(name) + "' | grep . | sort -u > '" + dir.File("count") + "'");
        return testing::ReadFileText(dir.File("count"));
    };
    EXPECT_EQ(packets(s.output), packets(s.source));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, AwkwardSources,
    ::testing::Values(
        // The second part's streams are new PIDs, past what opening the file reads (5 s).
        AwkwardSource{
            "StreamsAddedMidFile",
            "$F\"30000/1001\" -c:v libx264 -t 7 a.ts && $F\"30000/1001\" -f lavfi -i sine "
            "-c:v libx264 -t 2 -mpegts_start_pid 0x300 -mpegts_pmt_start_pid 0x1100 "
            "b.ts && cat a.ts b.ts > src.ts",
            "src.ts", "out.ts", MpegStatus::Completed, "Streams 1 (h264), 2 (mp2) of "}),
    [](const auto& info) { return std::string(info.param.label); });

// A caption message already in an SEI unit is replaced; the unit's other messages stay.
TEST(CaptionSei, ReplacesOnlyTheCaptionMessage) {
    const std::vector<uint8_t> old = CaptionSeiPayload(std::vector<uint8_t>{0x94, 0x20}, 20);
    std::vector<uint8_t> sei = {
        0x06, 0x05, 0x02, 0xAB, 0xCD, 0x04, static_cast<uint8_t>(old.size())};
    sei.insert(sei.end(), old.begin(), old.end());
    sei.push_back(0x80);
    std::vector<uint8_t> au = {0x00, 0x00, 0x00, 0x01, 0x09, 0xF0, 0x00, 0x00, 0x01};
    au.insert(au.end(), sei.begin(), sei.end());
    au.insert(au.end(), {0x00, 0x00, 0x01, 0x65, 0x88, 0x84});
    const std::vector<uint8_t> payload = CaptionSeiPayload(std::vector<uint8_t>{0x94, 0x2F}, 20);
    const std::vector<uint8_t> got = WithCaptionSei(au, VideoCoding::H264, 0, payload);
    std::vector<uint8_t> want = {0x00,
                                 0x00,
                                 0x00,
                                 0x01,
                                 0x09,
                                 0xF0,
                                 0x00,
                                 0x00,
                                 0x00,
                                 0x01,
                                 0x06,
                                 0x05,
                                 0x02,
                                 0xAB,
                                 0xCD,
                                 0x80,
                                 0x00,
                                 0x00,
                                 0x00,
                                 0x01,
                                 0x06,
                                 0x04,
                                 static_cast<uint8_t>(payload.size())};
    want.insert(want.end(), payload.begin(), payload.end());
    want.insert(want.end(), {0x80, 0x00, 0x00, 0x01, 0x65, 0x88, 0x84});
    EXPECT_EQ(got, want);
    int found = 0;
    ReadSeiCaptions(got, VideoCoding::H264, 0, [&](int, uint8_t a, uint8_t b) {
        EXPECT_EQ(a * 256 + b, 0x942F);
        ++found;
    });
    EXPECT_EQ(found, 1);
}

// The cc_data of a picture at 23.976 with one pair: worked by hand from A/53's layout. T.35
// (B5 00 31), "GA94", type 3, process_cc_data and 25 entries (59), em_data (FF); the pair (FC),
// the second 608 entry not valid (FA), the packet (FF 42 22: sequence 1, 4 bytes, a block of
// service 1, 2 bytes; FE 8C 01: DeleteWindows 0), 21 entries not valid, the marker bits.
TEST(CaptionSei, The708PacketFollowsThe608Entries) {
    std::vector<uint8_t> want = {0xB5, 0x00, 0x31, 'G',  'A',  '9',  '4',  0x03, 0x59, 0xFF, 0xFC,
                                 0x94, 0x2C, 0xFA, 0x00, 0x00, 0xFF, 0x42, 0x22, 0xFE, 0x8C, 0x01};
    for (int k = 0; k < 21; ++k) want.insert(want.end(), {0xFA, 0x00, 0x00});
    want.push_back(0xFF);
    EXPECT_EQ(CaptionSeiPayload(std::vector<uint8_t>{0x94, 0x2C}, 25, 2,
                                std::vector<uint8_t>{0x42, 0x22, 0x8C, 0x01}),
              want);
}

TEST(CaptionCadence, PairsPerPicture) {
    const struct {
        int num, den;
        size_t ccCount;
        std::vector<int> counts;  // of pictures 0 to 7
    } cases[] = {{30000, 1001, 20, {1, 1, 1, 1, 1, 1, 1, 1}},
                 {60000, 1001, 10, {1, 0, 1, 0, 1, 0, 1, 0}},
                 {24000, 1001, 25, {2, 1, 1, 1, 2, 1, 1, 1}}};
    for (const auto& c : cases) {
        CaptionCadence cadence;
        ASSERT_TRUE(CadenceForRate(c.num, c.den, cadence));
        EXPECT_EQ(cadence.ccCount, c.ccCount);
        int64_t next = 0;
        for (int n = 0; n < 8; ++n) {
            EXPECT_EQ(cadence.PairCount(n), c.counts[n]) << c.num << " " << n;
            if (c.counts[n] > 0) {
                EXPECT_EQ(cadence.FirstPair(n), next) << c.num << " " << n;
            }
            for (int k = 0; k < c.counts[n]; ++k) {
                EXPECT_EQ(cadence.PictureOfPair(next + k), n) << c.num << " pair " << next + k;
            }
            next += c.counts[n];
        }
    }
    CaptionCadence none;
    EXPECT_FALSE(CadenceForRate(25, 1, none));
}

}  // namespace
}  // namespace vantrel
