// Real MPEG-2 streams made by FFmpeg: captions multiplexed into them come back through our own
// extraction, are read by FFmpeg's caption decoder with the same texts, and leave the video
// decodable with all its frames. How FFmpeg reads the screens themselves (rows, colours, every
// character) is checked on exported .scc files by the caption-file tests.
#include <gtest/gtest.h>

#include <cstdlib>

#include "codec/encoder.h"
#include "files/subtitle_reader.h"
#include "mpeg/elementary_pictures.h"
#include "mpeg/mpeg_fakes.h"

namespace vantrel {
namespace {

using testing::Octets;

// Runs a command with its output to the file `into`; true when it succeeds.
bool Shell(const std::string& command, const std::string& into = "/dev/null") {
    return std::system((command + " >'" + into + "' 2>/dev/null").c_str()) == 0;
}

// A cue's line without the blanks FFmpeg puts around it.
std::string Trim(const std::string& s) {
    const size_t from = s.find_first_not_of(' ');
    return from == std::string::npos ? "" : s.substr(from, s.find_last_not_of(' ') + 1 - from);
}

struct Encoding {
    int gop;
    int bframes;
    int frames;
};

class FfmpegStreams : public ::testing::TestWithParam<Encoding> {};

TEST_P(FfmpegStreams, CaptionsComeBackThroughUsAndThroughFfmpeg) {
    if (!Shell("ffmpeg -version") || !Shell("ffprobe -version")) GTEST_SKIP() << "no ffmpeg";
    const Encoding e = GetParam();
    testing::TempDir dir;
    const std::string src = dir.File("src.m2v"), out = dir.File("out.m2v");
    ASSERT_TRUE(Shell("ffmpeg -y -f lavfi -i testsrc=size=160x120:rate=30000/1001 -frames:v " +
                      std::to_string(e.frames) + " -c:v mpeg2video -g " + std::to_string(e.gop) +
                      " -bf " + std::to_string(e.bframes) + " -f mpeg2video '" + src + "'"));
    const Octets source = testing::ReadBytes(src);
    const size_t carried = testing::CarriedPictures(source);
    ASSERT_GT(carried, 0u);

    // Captions of letters, digits and blanks on one row each, every row in turn, in Manual mode,
    // each loaded after the previous one has gone.
    CaptionList captions;
    for (int32_t n = 0, start = 20; start + 30 < int32_t(carried); ++n, start += 45) {
        testing::AddCaption(captions, start, start + 30, "CAPTION " + std::to_string(n),
                            n % kScreenRows);
    }
    ASSERT_GE(captions.Count(), 3);
    const testing::Multiplexed m = testing::Multiplex(captions, source);
    ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
    testing::WriteBytes(out, m.output);

    // (a) Our extraction gives back the caption stream for every picture.
    EXPECT_EQ(testing::Collect(m.output).pairs,
              testing::ExpectedPairs(EncodeCaptions(captions).bytes, carried));

    // (b) FFmpeg's own caption decoder reads the same texts, each within a group of pictures.
    ASSERT_TRUE(Shell("cd '" + dir.File("") + "' && ffmpeg -y -f lavfi -i " +
                      "'movie=out.m2v[out0+subcc]' -map 0:1 out.srt"));
    const Octets srt = testing::ReadBytes(dir.File("out.srt"));
    const std::vector<SubtitleCue> cues = ReadSubRip(std::string(srt.begin(), srt.end())).cues;
    ASSERT_EQ(cues.size(), size_t(captions.Count()));
    const double frame = 1001.0 / 30000.0, slack = (e.gop + 1) * frame;
    const Caption* c = captions.Head();
    for (size_t i = 0; i < cues.size(); ++i, c = c->next) {
        ASSERT_EQ(cues[i].lines.size(), 1u) << i;
        EXPECT_EQ(Trim(cues[i].lines[0].characters), "CAPTION " + std::to_string(i));
        EXPECT_NEAR(cues[i].startMs / 1000.0, c->startFrame * frame, slack) << i;
        EXPECT_NEAR(cues[i].endMs / 1000.0, c->endFrame * frame, slack) << i;
    }

    // (c) The copy still decodes with every frame, and our own count of its pictures agrees.
    ASSERT_TRUE(
        Shell("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
              "stream=nb_read_frames -of csv=p=0 '" +
                  out + "'",
              dir.File("frames.txt")));
    const Octets counted = testing::ReadBytes(dir.File("frames.txt"));
    EXPECT_EQ(std::atoll(std::string(counted.begin(), counted.end()).c_str()), e.frames);
    EXPECT_EQ(CountElementaryStreamFrames(out), e.frames);
}

INSTANTIATE_TEST_SUITE_P(GroupShapes, FfmpegStreams,
                         ::testing::Values(Encoding{12, 2, 300}, Encoding{15, 0, 240},
                                           Encoding{6, 3, 200}),
                         [](const auto& info) {
                             return "g" + std::to_string(info.param.gop) + "_bf" +
                                    std::to_string(info.param.bframes);
                         });

}  // namespace
}  // namespace vantrel
