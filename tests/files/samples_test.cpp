// Caption files made by other tools: every sample imports, the three forms of one sample give
// the same captions, each sample survives our own export and import, and FFmpeg reads our .scc
// and .mcc of it as our .srt.
#include <gtest/gtest.h>

#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

using testing::ReadFileText;
using testing::RecordingHost;
using testing::SameCaptions;
using testing::SamplePath;
using testing::Samples;
using testing::TempDir;

// Imports a sample; the only message allowed is the report of data left out or read by
// guessing (the paint-on caption of the mcpoodle sample, the malformed pycaption samples).
void Import(CaptionProject& project, const std::string& path, const std::string& extension) {
    RecordingHost host;
    project.host = &host;
    EXPECT_EQ(ImportCaptionFile(project, path, extension), ImportResult::Imported) << path;
    for (const std::string& m : host.messages) {
        EXPECT_TRUE(m.starts_with("Not imported from " + path + "\n") ||
                    m.starts_with("Read from " + path + " by guessing\n"))
            << m;
    }
    project.host = nullptr;
}

TEST(Samples, TheThreeFormsOfOneFileGiveTheSameCaptions) {
    if (!testing::SampleExists("mcpoodle_colors_painton.scc")) GTEST_SKIP() << "no samples";
    CaptionProject scc, ccd, raw;
    Import(scc, SamplePath("mcpoodle_colors_painton.scc"), "scc");
    Import(ccd, SamplePath("mcpoodle_colors_painton.ccd"), "ccd");
    Import(raw, SamplePath("mcpoodle_colors_painton.raw"), "bin");
    EXPECT_GE(scc.captions.Count(), 5);
    EXPECT_TRUE(SameCaptions(scc.captions, ccd.captions, true));
    // The raw form places everything from 00:00:19:10 on one frame early (its pair 579 holds
    // what the text forms place on frame 580), so its last caption is compared one frame on.
    ASSERT_EQ(raw.captions.Count(), scc.captions.Count());
    for (Caption* c = raw.captions.Head(); c; c = c->next) {
        if (c->startFrame < 579) continue;
        ++c->startFrame;
        ++c->endFrame;
    }
    EXPECT_TRUE(SameCaptions(scc.captions, raw.captions, true));
}

TEST(Samples, EveryOneImportsAndSurvivesOurOwnExportAndImport) {
    const auto samples = Samples();
    if (samples.empty()) GTEST_SKIP() << "no samples at " << SamplePath("");
    TempDir dir;
    const bool ffmpeg = testing::HaveFfmpeg();
    int captions = 0;
    size_t compared = 0;
    for (const auto& [path, extension] : samples) {
        CaptionProject first;
        Import(first, path, extension);
        captions += first.captions.Count();
        if (first.captions.Empty()) continue;  // would export an empty file
        for (const char* format : {"scc", "ccd", "bin", "mcc"}) {
            const std::string out = dir.File(std::string("again.") + format);
            RecordingHost host;
            first.host = &host;
            const ExportResult exported = ExportCaptionFile(first, out, format);
            first.host = nullptr;
            EXPECT_EQ(exported.leftOut, 0u) << path << ": " << host.messages[0];
            CaptionProject second;
            Import(second, out, format);
            EXPECT_TRUE(SameCaptions(first.captions, second.captions, true))
                << path << " as " << format;
            const std::string f = format;
            if (!ffmpeg || (f != "scc" && f != "mcc") || extension == "bin") continue;
            // FFmpeg's 608 decoder reads the same words, spaces and rows as our .srt holds.
            ASSERT_TRUE(testing::FfmpegSccToSrt(out, dir.File("ffmpeg.srt")));
            const auto theirs = testing::ParseSrt(ReadFileText(dir.File("ffmpeg.srt")), true);
            const auto ours = testing::ParseSrt(SubtitleText(first.captions), true);
            ASSERT_EQ(theirs.size(), ours.size()) << path;
            for (size_t k = 0; k < ours.size(); ++k, ++compared) {
                EXPECT_EQ(theirs[k].text, ours[k].text) << path << ", caption " << k + 1;
            }
        }
    }
    EXPECT_GT(captions, 100);
    if (ffmpeg) {
        EXPECT_GT(compared, 100u);
    }
}

}  // namespace
}  // namespace vantrel
