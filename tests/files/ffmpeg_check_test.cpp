// Our .scc files read by an independent 608 decoder: FFmpeg's subtitles of our exported files
// hold the same texts in the same order as our own .srt, at nearly the same times. FFmpeg dates
// each caption by the line that loads it, so a start may come as many frames early as the
// caption takes to load, and an end as early as the next caption's loading when the erase is
// sent inside it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <random>
#include <sstream>

#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/subtitles.h"
#include "support/random_screen.h"

namespace vantrel {
namespace {

using testing::TempDir;

struct Cue {
    double start = 0, end = 0;  // seconds
    std::string text;           // as ParseSrt keeps it
};

double Seconds(const std::string& t) {
    int h = 0, m = 0, s = 0, ms = 0;
    std::sscanf(t.c_str(), "%d:%d:%d,%d", &h, &m, &s, &ms);
    return h * 3600.0 + m * 60.0 + s + ms / 1000.0;
}

// The cues of an .srt text, tags (<font ...>, {\an7}) dropped, ASCII in lower case. With
// `words`, the words as a person reads them: FFmpeg's right single quote read as the
// apostrophe it decodes, blanks (\h too) squeezed to one space, none at a line's ends (FFmpeg
// keeps a row's indent), rows on lines of their own; else letters and digits only.
std::vector<Cue> ParseSrt(const std::string& srt, bool words = false) {
    std::vector<Cue> cues;
    std::istringstream in(srt);
    std::string line;
    Cue* cue = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t arrow = line.find(" --> ");
        if (arrow != std::string::npos) {
            cues.push_back({Seconds(line.substr(0, arrow)), Seconds(line.substr(arrow + 5)), ""});
            cue = &cues.back();
            continue;
        }
        if (line.empty()) cue = nullptr;  // a blank line ends the cue
        if (!cue) continue;
        // ASS hard spaces (\h) are blanks.
        for (size_t at = line.find("\\h"); at != std::string::npos; at = line.find("\\h", at)) {
            line.replace(at, 2, " ");
        }
        for (size_t at = line.find("\u2019"); at != std::string::npos; at = line.find("\u2019")) {
            line.replace(at, 3, "'");
        }
        if (words && !cue->text.empty()) cue->text += '\n';
        bool blank = false;  // a blank since the last character kept
        bool inTag = false;
        char close = 0;
        for (char c : line) {
            if (!inTag && (c == '<' || c == '{')) {
                inTag = true;
                close = c == '<' ? '>' : '}';
            } else if (inTag) {
                inTag = c != close;
            } else if (c == ' ' || c == '\t') {
                blank = true;
            } else if (words || std::isalnum(static_cast<unsigned char>(c))) {
                if (words && blank && !cue->text.empty() && cue->text.back() != '\n') {
                    cue->text += ' ';
                }
                blank = false;
                cue->text += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
    }
    return cues;
}

bool HaveFfmpeg() {
    return std::system("command -v ffmpeg > /dev/null 2>&1") == 0;
}

// Captions of letters and digits, in every timing mode, placed with room for their loading.
// Each row holds one run: FFmpeg keeps only the last run that a row's preambles address.
void MakeProject(std::mt19937& rng, CaptionProject& project, int count) {
    const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    int32_t frame = 30;
    for (int i = 0; i < count; ++i) {
        auto* c = new Caption;
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
        project.captions.Insert(c);
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
        const std::string command = "ffmpeg -nostdin -v error -y -i '" + scc + "' '" + srt + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;

        const std::vector<Cue> theirs = ParseSrt(testing::ReadFileText(srt));
        const std::vector<Cue> ours = ParseSrt(SubtitleText(project.captions));
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

// Every sample, imported and exported as .scc: FFmpeg reads the same words, with the same spaces
// and the same rows, as our .srt holds.
TEST(FfmpegCheck, ReadsEverySampleAsOurSubtitles) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const auto samples = testing::Samples({"scc", "ccd"});
    if (samples.empty()) GTEST_SKIP() << "no samples";
    TempDir dir;
    size_t compared = 0;
    for (const auto& [path, extension] : samples) {
        CaptionProject project;
        testing::RecordingHost host;
        project.host = &host;
        ASSERT_EQ(ImportCaptionFile(project, path, extension), ImportResult::Imported) << path;
        if (project.captions.Empty()) continue;
        const std::string scc = dir.File("s.scc"), srt = dir.File("s.srt");
        ASSERT_EQ(ExportCaptionFile(project, scc, "scc").leftOut, 0u) << path;
        const std::string command = "ffmpeg -nostdin -v error -y -i '" + scc + "' '" + srt + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        const std::vector<Cue> theirs = ParseSrt(testing::ReadFileText(srt), true);
        const std::vector<Cue> ours = ParseSrt(SubtitleText(project.captions), true);
        ASSERT_EQ(theirs.size(), ours.size()) << path;
        for (size_t k = 0; k < ours.size(); ++k, ++compared) {
            EXPECT_EQ(theirs[k].text, ours[k].text) << path << ", caption " << k + 1;
        }
    }
    EXPECT_GT(compared, 100u);
}

}  // namespace
}  // namespace vantrel
