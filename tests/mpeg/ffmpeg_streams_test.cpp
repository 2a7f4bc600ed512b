// Real MPEG-2 streams made by FFmpeg: captions multiplexed into them come back through our own
// extraction, are read by FFmpeg's caption decoder with the same texts, and leave the video
// decodable with all its frames.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "codec/encoder.h"
#include "files/subtitle_reader.h"
#include "mpeg/elementary_pictures.h"
#include "mpeg/mpeg_fakes.h"
#include "mpeg/stream_model.h"
#include "support/random_screen.h"

namespace vantrel {
namespace {

using testing::Bytes;
using testing::TempDir;

bool HaveFfmpeg() {
    static const bool have = std::system("ffmpeg -version >/dev/null 2>&1") == 0 &&
                             std::system("ffprobe -version >/dev/null 2>&1") == 0;
    return have;
}

bool RunQuietly(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Output(const std::string& command) {
    std::string out;
    if (std::FILE* p = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        while (const size_t n = std::fread(buffer, 1, sizeof buffer, p)) out.append(buffer, n);
        ::pclose(p);
    }
    return out;
}

int64_t CountFrames(const std::string& path) {
    const std::string out = Output(
        "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
        "stream=nb_read_frames -of csv=p=0 '" +
        path + "'");
    return out.empty() ? -1 : std::atoll(out.c_str());
}

// Letters, digits and punctuation that FFmpeg's decoder shows as the same characters.
std::vector<uint8_t> PlainCharacters() {
    std::vector<uint8_t> chars;
    for (int c = 'A'; c <= 'Z'; ++c) chars.push_back(static_cast<uint8_t>(c));
    for (int c = 'a'; c <= 'z'; ++c) chars.push_back(static_cast<uint8_t>(c));
    for (int c = '0'; c <= '9'; ++c) chars.push_back(static_cast<uint8_t>(c));
    // Not the apostrophe: FFmpeg shows it as a right single quotation mark.
    for (const char c : std::string("!\"#$%&()-.,:;?/")) chars.push_back(static_cast<uint8_t>(c));
    return chars;
}

// FFmpeg 5.1's decoder writes blanks from column 0 up to a preamble's indent, so a second run
// on a row would hide the first one there: keep the first run of each row.
void KeepFirstRunOfEachRow(Caption& c) {
    for (int r = 0; r < kScreenRows; ++r) {
        int k = 0;
        while (k < kScreenColumns && c.cells[r][k].IsEmpty()) ++k;
        while (k < kScreenColumns && !c.cells[r][k].IsEmpty()) ++k;
        for (; k < kScreenColumns; ++k) c.cells[r][k] = {};
    }
}

// Random captions in Manual mode, each loaded after the previous one has gone, up to `frames`.
void PlaceCaptions(std::mt19937& rng, CaptionList& list, int32_t frames) {
    testing::ScreenOptions options;
    options.maxRows = 2;
    const std::vector<uint8_t> chars = PlainCharacters();
    int32_t free = 0;  // the first frame the next loading may use
    for (;;) {
        auto c = std::make_unique<Caption>();
        do {
            testing::RandomScreen(rng, *c, options, chars);
            KeepFirstRunOfEachRow(*c);
        } while (c->CountOccupiedRows() == 0);
        c->timingMode = Manual;
        const int32_t load = GetLoadFrames(*c);
        c->startFrame = free + load + 1 + static_cast<int32_t>(rng() % 20);
        c->endFrame = c->startFrame + 10 + static_cast<int32_t>(rng() % 30);
        if (c->endFrame >= frames) return;
        free = c->endFrame + 1;
        list.Insert(std::move(c));
    }
}

// A row as a person reads it: attribute codes and empty cells are blanks; blanks are trimmed
// at both ends and runs of blanks count as one.
std::string Normalize(const std::string& text) {
    std::string out;
    bool blank = false;
    for (const char ch : text) {
        if (ch == ' ' || ch == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += ch;
    }
    return out;
}

// A screen or a cue as text: its rows as a person reads them, one line each.
std::string CaptionText(const Caption& c) {
    std::string lines;
    for (int r = 0; r < kScreenRows; ++r) {
        std::string row;
        for (int k = 0; k < kScreenColumns; ++k) {
            const uint8_t ch = c.cells[r][k].character;
            row += ch >= 0x20 ? static_cast<char>(ch) : ' ';
        }
        row = Normalize(row);
        if (!row.empty()) lines += (lines.empty() ? "" : "\n") + row;
    }
    return lines;
}

std::string CueText(const SubtitleCue& cue) {
    std::string lines;
    for (const StyledLine& line : cue.lines) {
        const std::string row = Normalize(line.characters);
        if (!row.empty()) lines += (lines.empty() ? "" : "\n") + row;
    }
    return lines;
}

// FFmpeg's SubRip output, read by our own reader; FFmpeg writes leading blanks as \h.
std::vector<SubtitleCue> ReadFfmpegSubRip(const std::string& path) {
    const Bytes bytes = testing::ReadBytes(path);
    std::string text(bytes.begin(), bytes.end());
    for (size_t at = 0; (at = text.find("\\h", at)) != std::string::npos;) text.replace(at, 2, " ");
    return ReadSubRip(text).cues;
}

struct Encoding {
    int gop;
    int bframes;
    int frames;
};

class FfmpegStreams : public ::testing::TestWithParam<Encoding> {};

TEST_P(FfmpegStreams, CaptionsComeBackThroughUsAndThroughFfmpeg) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const Encoding e = GetParam();
    TempDir dir;
    const std::string src = dir / "src.m2v";
    const std::string out = dir / "out.m2v";
    ASSERT_TRUE(RunQuietly(
        "ffmpeg -hide_banner -loglevel error -y -f lavfi -i testsrc=size=160x120:rate=30000/1001"
        " -frames:v " +
        std::to_string(e.frames) + " -c:v mpeg2video -g " + std::to_string(e.gop) + " -bf " +
        std::to_string(e.bframes) + " -f mpeg2video '" + src + "'"));
    const Bytes source = testing::ReadBytes(src);
    const size_t carried = testing::CarriedPictures(source);
    ASSERT_GT(carried, 0u);

    std::mt19937 rng(static_cast<uint32_t>(e.gop * 100 + e.bframes));
    CaptionList captions;
    PlaceCaptions(rng, captions, static_cast<int32_t>(carried));
    ASSERT_GE(captions.Count(), 3);
    const Bytes encoded = EncodeCaptions(captions).bytes;

    const testing::Multiplexed m = testing::Multiplex(captions, source);
    ASSERT_EQ(m.outcome.status, MpegStatus::Completed);
    testing::WriteBytes(out, m.output);

    // (a) Our extraction gives back the caption stream for every picture.
    EXPECT_EQ(testing::Collect(m.output).pairs, testing::ExpectedPairs(encoded, carried));

    // (b) FFmpeg's own caption decoder reads the same texts, each within a group of pictures.
    ASSERT_TRUE(RunQuietly("cd '" + (dir / "") +
                           "' && ffmpeg -hide_banner -loglevel error -y -f lavfi -i "
                           "'movie=out.m2v[out0+subcc]' -map 0:1 out.srt"));
    const std::vector<SubtitleCue> cues = ReadFfmpegSubRip(dir / "out.srt");
    std::vector<const Caption*> want;
    for (const Caption* c = captions.Head(); c; c = c->next) want.push_back(c);
    ASSERT_EQ(cues.size(), want.size());
    const double frame = 1001.0 / 30000.0;
    const double slack = (e.gop + 1) * frame;
    for (size_t i = 0; i < cues.size(); ++i) {
        EXPECT_EQ(CueText(cues[i]), CaptionText(*want[i])) << "caption " << i;
        EXPECT_NEAR(cues[i].startMs / 1000.0, want[i]->startFrame * frame, slack) << i;
        EXPECT_NEAR(cues[i].endMs / 1000.0, want[i]->endFrame * frame, slack) << i;
    }

    // (c) The copy still decodes with every frame, and our own count of its pictures agrees.
    EXPECT_EQ(CountFrames(out), e.frames);
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
