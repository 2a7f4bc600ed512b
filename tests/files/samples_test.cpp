// Caption files made by other tools: every sample imports, the three forms of one sample give
// the same captions, each sample survives our own export and import, FFmpeg reads our .scc and
// .mcc of it as our .srt and reads the same lines as we do from every .scc, roll-up and paint-on
// ones included; and the character tables agree with another project's reading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "codec/charset.h"
#include "codec/decoder.h"
#include "codec/encoder.h"
#include "codec/tables.h"
#include "dtvcc/service_decoder.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/mcc.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "support/pair_notation.h"

namespace vantrel {
namespace {

using testing::ReadFileText;
using testing::RecordingHost;
using testing::SameCaptions;
using testing::SamplePath;
using testing::Samples;
using testing::TempDir;

// FFmpeg drops every repeat of a code, also after a null pair, where a receiver drops the second
// copy only: a run of music notes is one note to it.
std::string OneNote(std::string text) {
    for (size_t at; (at = text.find("♪♪")) != std::string::npos;) text.erase(at, 3);
    return text;
}

// Imports a sample; the only messages allowed are the report of data left out or read by
// guessing (the malformed pycaption samples) and what roll-up and paint-on data became.
void Import(CaptionProject& project, const std::string& path, const std::string& extension,
            const PictureRate& rate = kCaptionRate) {
    RecordingHost host;
    project.host = &host;
    ImportHooks hooks;
    hooks.rate = &rate;
    EXPECT_EQ(ImportCaptionFile(project, path, extension, hooks), ImportResult::Imported) << path;
    for (const std::string& m : host.messages) {
        EXPECT_TRUE(m.starts_with("Not imported from " + path + ":\n") ||
                    m.starts_with("Read from " + path + " by guessing:\n") ||
                    m.starts_with("Imported from " + path + ":\n"))
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

// Each caption's pictures of `rate` and the text a person reads on its screen.
std::vector<std::string> Texts(const CaptionList& list, const PictureRate& rate = kCaptionRate) {
    std::vector<std::string> out;
    char text[kSubtitleTextCapacity + 1];
    for (const Caption* c = list.Head(); c; c = c->next) {
        const size_t n = c->GetLinesText(text, false, kSubtitleTextCapacity);
        out.push_back(std::to_string(PictureOfFrame(c->startFrame, rate)) + "-" +
                      std::to_string(PictureOfFrame(c->endFrame, rate)) + " " +
                      std::string(text, n));
    }
    return out;
}

// The lines of an .srt as a person reads them, each once, in the order they first appear; a line
// that the next one goes on from (a row still being written) is left out.
std::vector<std::string> DistinctLines(const std::string& srt) {
    std::vector<std::string> lines, out;
    for (const auto& cue : testing::ParseSrt(srt, true)) {
        std::istringstream in(cue.text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty()) lines.push_back(OneNote(line));
        }
    }
    for (size_t k = 0; k < lines.size(); ++k) {
        if (k + 1 < lines.size() && lines[k + 1] != lines[k] && lines[k + 1].starts_with(lines[k]))
            continue;
        if (std::find(out.begin(), out.end(), lines[k]) == out.end()) out.push_back(lines[k]);
    }
    return out;
}

// Through every format we write, twice over, a sample's captions come back the same, but for
// those the export shows late, which start where it says; FFmpeg reads the same lines from our
// .scc and .mcc as our .srt holds.
TEST(Samples, EveryOneImportsAndSurvivesOurOwnExportAndImport) {
    const auto samples = Samples();
    if (samples.empty()) GTEST_SKIP() << "no samples at " << SamplePath("");
    TempDir dir;
    const bool ffmpeg = testing::HaveFfmpeg();
    int captions = 0;
    size_t compared = 0, exported = 0;
    for (const auto& [path, extension] : samples) {
        CaptionProject first, shifted;
        Import(first, path, extension);
        captions += first.captions.Count();
        if (first.captions.Empty()) continue;  // would export an empty file
        ++exported;
        // What the export says of captions shown late: each starts where it is shown from.
        Import(shifted, path, extension);
        const std::vector<LateCaption> late = EncodeCaptions(first.captions).late;
        for (const LateCaption& l : late) {
            Caption* c = shifted.captions.CaptionAtRow(first.captions.RowOf(l.caption));
            c->endFrame = static_cast<int32_t>(std::max<int64_t>(c->endFrame, l.shownFrom + 1));
            c->startFrame = static_cast<int32_t>(l.shownFrom);
        }
        const std::vector<std::string> ours = DistinctLines(SubtitleText(first.captions, true));
        // Every format we write, and those with timecodes of other rates at each rate.
        const std::pair<std::string, std::string_view> outputs[] = {
            {"scc", "29.97"}, {"ccd", "29.97"},  {"bin", "29.97"},  {"mcc", "29.97"},
            {"ccp", "29.97"}, {"scc", "23.976"}, {"mcc", "23.976"}, {"scc", "24"},
            {"mcc", "24"},    {"scc", "25"},     {"mcc", "25"},     {"scc", "30"},
            {"mcc", "30"}};
        for (const auto& [format, rateName] : outputs) {
            SCOPED_TRACE(path + " as " + format + " at " + std::string(rateName));
            const PictureRate& rate = *PictureRateNamed(rateName);
            const std::string out = dir.File("again." + format);
            CaptionProject second, third;
            for (CaptionProject* step : {&first, &second}) {
                RecordingHost host;
                step->host = &host;
                if (format == "ccp") {
                    EXPECT_EQ(SaveProject(*step, out), WriteResult::Written);
                } else {
                    EXPECT_EQ(
                        ExportCaptionFile(*step, out, *FormatOfExtension(format), {.rate = &rate})
                            .leftOut,
                        0u);
                }
                step->host = nullptr;
                CaptionProject& next = step == &first ? second : third;
                if (format == "ccp") {
                    EXPECT_EQ(LoadProject(next, out), LoadResult::Loaded);
                } else {
                    Import(next, out, format, rate);
                }
                if (step == &first) {
                    EXPECT_TRUE(SameCaptions(late.empty() ? first.captions : shifted.captions,
                                             second.captions, late.empty()));
                }
            }
            EXPECT_TRUE(SameCaptions(second.captions, third.captions, true));
            if (format == "mcc") {
                // Its 708 service, read by our DTVCC decoder, shows the same texts on the same
                // frames (708 has no attribute-code cells: they read back as spaces).
                CaptionList by708;
                dtvcc::DecodeService(
                    by708, dtvcc::PacketsOf(ReadMccText(testing::Bytes(ReadFileText(out))).dtvcc),
                    1);
                // A picture's 708 packets are read on the first frame it carries.
                EXPECT_EQ(Texts(by708, rate), Texts(third.captions, rate)) << "by 708";
            }
            if (!ffmpeg || (format != "scc" && format != "mcc")) continue;
            if (&rate != &kCaptionRate && rate.name != "23.976") continue;
            // FFmpeg's 608 decoder reads the same words, spaces and rows as our .srt holds.
            ASSERT_TRUE(
                testing::FfmpegSccToSrt(dir.File("again." + format), dir.File("ffmpeg.srt")));
            EXPECT_EQ(DistinctLines(ReadFileText(dir.File("ffmpeg.srt"))), ours);
            ++compared;
        }
    }
    EXPECT_GT(captions, 100);
    if (ffmpeg) {
        EXPECT_EQ(compared, 4 * exported);
    }
}

// Roll-up, paint-on and their changes, as live captioning sends them.
const char* const kMadeStreams[] = {
    "RU2 RU2 CR CR R15 R15 'WE' '_A' 'RE' '_L' 'IV' 'E' @20 CR CR 'FR' 'OM' '_T' 'HE' '_C' 'IT' "
    "'Y' @40 CR CR 'TO' 'NI' 'GH' 'T' @60 RU3 RU3 CR CR 'AN' 'D_' 'MO' 'RE' @80 CR CR 'ON' 'E' "
    "@90 CR CR 'TW' 'O' @100 CR CR 'SI' 'X' @110 EDM EDM",
    "@10 RDC RDC R14 R14 'PA' 'IN' 'TE' 'D_' 'WO' 'RD' 'S' @30 R15 R15 'BE' 'LO' 'W' @60 EDM EDM "
    "@70 RCL RCL ENM ENM R15 R15 'PO' 'P_' 'ON' EOC EOC @100 EDM EDM RU2 RU2 CR CR R15 'RO' 'LL' "
    "@120 EDM",
};

TEST(Samples, FfmpegReadsTheSameLinesOfEveryScc) {
    if (!testing::HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    TempDir dir;
    auto files = Samples({"scc"});
    for (size_t k = 0; k < std::size(kMadeStreams); ++k) {
        std::vector<uint8_t> pairs = testing::Stream(kMadeStreams[k]);
        for (uint8_t& b : pairs) b = OddParityTable[b & 0x7F];
        const std::string path = dir.File("made" + std::to_string(k) + ".scc");
        testing::WriteFileText(path, FormatSccText(pairs));
        files.push_back({path, "scc"});
    }
    // Files whose reading left data out or guessed (lines out of order, malformed words) are
    // not compared: FFmpeg reads that data otherwise.
    size_t compared = 0;
    for (const auto& [path, extension] : files) {
        CaptionProject project;
        RecordingHost host;
        project.host = &host;
        ASSERT_EQ(ImportCaptionFile(project, path, extension), ImportResult::Imported) << path;
        if (!std::all_of(host.messages.begin(), host.messages.end(),
                         [](const std::string& m) { return m.starts_with("Imported from "); }))
            continue;
        ASSERT_TRUE(testing::FfmpegSccToSrt(path, dir.File("ffmpeg.srt")));
        EXPECT_EQ(DistinctLines(SubtitleText(project.captions, true)),
                  DistinctLines(ReadFileText(dir.File("ffmpeg.srt"))))
            << path;
        ++compared;
    }
    EXPECT_GE(compared, std::size(kMadeStreams) + (files.size() > std::size(kMadeStreams) ? 4 : 0));
}

// Every special and extended character of the sample decodes to the character the other
// project reads there (its transparent space is a plain one) and encodes back to its own pair.
TEST(Samples, CharacterTablesAgreeWithAnotherReading) {
    const std::string name = "pycaption_special_extended_chars";
    if (!testing::SampleExists(name + ".scc")) GTEST_SKIP() << "no samples";
    std::istringstream scc(ReadFileText(SamplePath(name + ".scc")));
    const std::string expected = ReadFileText(SamplePath(name + ".expected-translated.txt"));
    std::vector<std::string> words, characters;
    for (std::string w; scc >> w;)
        if (w.size() == 4 && std::all_of(w.begin(), w.end(), ::isxdigit)) words.push_back(w);
    for (size_t at = expected.find('['); at != std::string::npos; at = expected.find('[', at + 1))
        characters.push_back(expected.substr(at + 1, expected.find(']', at + 1) - at - 1));
    ASSERT_EQ(words.size(), characters.size());
    int checked = 0;
    for (size_t k = 0; k < words.size(); ++k) {
        const int pair = std::stoi(words[k], nullptr, 16) & 0x7F7F;
        if (pair >> 8 >= 0x20) continue;  // a basic character
        CaptionList list;
        DecodePairStream(list, testing::Stream("RCL ENM R1 " + words[k] + " EOC"));
        ASSERT_NE(list.Head(), nullptr) << words[k];
        const uint8_t character = list.Head()->cells[0][0].character;
        std::string text;
        AppendUtf8(text, character == 0xA0 ? U' ' : CaptionCharToUnicode(character));
        EXPECT_EQ(text, characters[k]) << words[k];
        const std::vector<uint8_t> sent = EncodeCodeString(std::vector<uint8_t>{character});
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ((sent[sent.size() - 2] & 0x7F) << 8 | (sent.back() & 0x7F), pair) << words[k];
        ++checked;
    }
    EXPECT_EQ(checked, 79);
}

}  // namespace
}  // namespace vantrel
