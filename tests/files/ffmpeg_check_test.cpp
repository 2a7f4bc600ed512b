// Our .scc files read by an independent 608 decoder: FFmpeg's subtitles of our exported files
// hold the same texts in the same order as our own .srt, at nearly the same times. FFmpeg dates
// each caption by the line that loads it, so a start may come as many frames early as the
// caption takes to load, and an end as early as the next caption's loading when the erase is
// sent inside it.
#include <gtest/gtest.h>

#include <random>

#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/files_test_support.h"
#include "files/subtitles.h"
#include "support/random_screen.h"

namespace vantrel {
namespace {

using testing::HaveFfmpeg;
using testing::ParseSrt;
using testing::SrtCue;
using testing::TempDir;

// Captions of letters and digits, in every timing mode, placed with room for their loading.
// Each row holds one run: FFmpeg keeps only the last run that a row's preambles address.
void MakeProject(std::mt19937& rng, CaptionProject& project, int count) {
    const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    int32_t frame = 30;
    for (int i = 0; i < count; ++i) {
        auto c = std::make_unique<Caption>();
        const int rows = 1 + static_cast<int>(rng() % 4);
        for (int r = 0; r < rows; ++r) {
            const int row = static_cast<int>(rng() % kScreenRows);
            const int col = static_cast<int>(rng() % 16);
            const uint8_t attribute =
                static_cast<uint8_t>(0x38 | rng() % 7 | (rng() % 3 == 0 ? kItalicsBit : 0) |
                                     (rng() % 4 == 0 ? kUnderlineBit : 0));
            std::vector<CaptionCell> run = testing::RunStartCells(col, attribute);
            const int length = 1 + static_cast<int>(rng() % (kScreenColumns - col - 2));
            for (int k = 0; k < length; ++k) {
                run.push_back({static_cast<uint8_t>(chars[rng() % chars.size()]), attribute});
            }
            for (int k = 0; k < kScreenColumns; ++k) c->cells[row][k] = {};
            for (size_t k = 0; k < run.size() && col + k < kScreenColumns; ++k) {
                c->cells[row][col + k] = run[k];
            }
        }
        c->timingMode = static_cast<int8_t>(1 + rng() % 4);
        frame += GetLoadFrames(*c) + 2 + static_cast<int32_t>(rng() % 200);
        c->startFrame = frame;
        c->endFrame = frame + 30 + static_cast<int32_t>(rng() % 200);
        project.captions.Insert(std::move(c));
    }
    for (Caption* c = project.captions.Head(); c; c = c->next) c->ApplyTiming();
}

TEST(FfmpegCheck, ReadsOurSccAsWeDo) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir dir;
    std::mt19937 rng(31337);
    // FFmpeg dates a cue by the .scc timecode read as a clock at 30 frames a second, so its
    // times are compared with our frame labels, not with the real times of our .srt.
    constexpr double kFrame = 1.0 / 30;
    for (int round = 0; round < 6; ++round) {
        CaptionProject project;
        MakeProject(rng, project, 25);
        const std::string scc = dir.File("p.scc");
        const std::string srt = dir.File("p.srt");
        ASSERT_EQ(ExportCaptionFile(project, scc, "scc").leftOut, 0u);
        ASSERT_TRUE(testing::FfmpegSccToSrt(scc, srt));

        const std::vector<SrtCue> theirs = ParseSrt(testing::ReadFileText(srt));
        const std::vector<SrtCue> ours = ParseSrt(SubtitleText(project.captions));
        ASSERT_EQ(theirs.size(), ours.size()) << "round " << round;
        const Caption* c = project.captions.Head();
        for (size_t k = 0; k < ours.size(); ++k, c = c->next) {
            EXPECT_EQ(theirs[k].text, ours[k].text) << "round " << round << ", caption " << k;
            const double load = GetLoadFrames(*const_cast<Caption*>(c));
            const double start = c->startFrame * kFrame, end = c->endFrame * kFrame;
            EXPECT_LE(theirs[k].start, start + 0.05) << round << "/" << k;
            EXPECT_GE(theirs[k].start, start - (load + 1) * kFrame - 0.05) << round << "/" << k;
            // The end comes from our erase, or from the next caption's loading.
            const double nextLoad = c->next ? GetLoadFrames(*c->next) : 0;
            EXPECT_LE(theirs[k].end, end + 0.05) << round << "/" << k;
            EXPECT_GE(theirs[k].end, end - (nextLoad + 1) * kFrame - 0.05) << round << "/" << k;
        }
    }
}

}  // namespace
}  // namespace vantrel
