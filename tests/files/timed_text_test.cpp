// Timed Text (TTML, SMPTE-TT, DFXP) and WebVTT: reading the time forms and places the
// documents publish, round trips of placed and styled captions through every writer, and
// independent readers (ttconv, FFmpeg) of what we write.
#include "files/timed_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/subtitle_import.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

using namespace testing;

std::string Document(const std::string& attributes, const std::string& head,
                     const std::string& body, const std::string& ns = "http://www.w3.org/ns/ttml") {
    return "<?xml version=\"1.0\"?>\n<tt xmlns=\"" + ns + "\" xmlns:ttp=\"" + ns +
           "#parameter\" xmlns:tts=\"" + ns + "#styling\" " + attributes + "><head>" + head +
           "</head><body>" + body + "</body></tt>";
}

// Time forms of TTML 1 and places of regions, with what the documents mean by them: frames
// counted at 30000/1001, rows and columns of the 608 grid (10% to 90% of a 4:3 picture).
TEST(TimedTextReading, PublishedTimeFormsStylesAndRegions) {
    const std::string ntsc = "ttp:frameRate=\"30\" ttp:frameRateMultiplier=\"1000 1001\"";
    const std::string bottom =
        "<layout><region xml:id=\"b\" tts:origin=\"10% 10%\" tts:extent=\"80% 80%\" "
        "tts:displayAlign=\"after\" tts:textAlign=\"center\"/></layout>";
    const std::string styles =
        "<styling><style xml:id=\"y\" tts:color=\"#FFFF00\"/>"
        "<style xml:id=\"yi\" style=\"y\" tts:fontStyle=\"italic\"/></styling>";
    const struct {
        const char* name;
        std::string document;
        int64_t start, end;  // frames
        const char* text;    // the first line
        int row, column;
        uint8_t attribute = kDefaultAttribute;
    } cases[] = {
        {"clock time", Document("", "", "<p begin=\"00:00:01.001\" end=\"00:00:02.002\">HI</p>"),
         30, 60, "HI", 14, 15},
        {"media frames", Document(ntsc, "", "<p begin=\"00:00:10:15\" end=\"00:00:11:00\">A</p>"),
         315, 330, "A", 14, 15},
        {"ticks",
         Document("ttp:tickRate=\"10000000\"", "",
                  "<p begin=\"10010000t\" end=\"20020000t\">T</p>"),
         30, 60, "T", 14, 15},
        {"offset frames and seconds", Document(ntsc, "", "<p begin=\"90f\" end=\"2.5s\">F</p>"), 90,
         75, "F", 14, 15},
        {"duration", Document("", "", "<p begin=\"1s\" dur=\"2s\">D</p>"), 30, 90, "D", 14, 15},
        {"nested times",
         Document("", "", "<div begin=\"10s\"><p begin=\"1s\" end=\"2s\">N</p></div>"), 330, 360,
         "N", 14, 15},
        {"SMPTE drop-frame labels",
         Document(ntsc + " ttp:timeBase=\"smpte\" ttp:dropMode=\"dropNTSC\"", "",
                  "<p begin=\"00:01:00:02\" end=\"00:10:00:00\">S</p>"),
         1800, 17982, "S", 14, 15},
        {"region at the bottom, centred, two lines",
         Document("", bottom, "<p region=\"b\" begin=\"1s\" end=\"2s\">ONE<br/>LINE 2</p>",
                  "http://www.w3.org/2006/10/ttaf1"),
         30, 60, "ONE", 13, 14},
        {"kept blanks indent from the region's left",
         Document("",
                  "<layout><region xml:id=\"r\" tts:origin=\"20% 42%\" tts:extent=\"50% 20%\"/>"
                  "</layout>",
                  "<p region=\"r\" xml:space=\"preserve\" begin=\"1s\" end=\"2s\">   X Y</p>"),
         30, 60, "X Y", 6, 7},
        {"styles that refer to styles",
         Document("", styles, "<p begin=\"1s\" end=\"2s\"><span style=\"yi\">Y</span></p>"), 30, 60,
         "Y", 14, 16, kDefaultAttribute | 5 | kItalicsBit},  // after its two codes
        {"blanks collapse", Document("", "", "<p begin=\"1s\" end=\"2s\">\n  A &amp;\n   B  </p>"),
         30, 60, "A & B", 14, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SubtitleFile file = ReadTimedText(c.document, nullptr);
        ASSERT_TRUE(file.recognized);
        CaptionList list;
        MakeSubtitleCaptions(file, list);
        ASSERT_EQ(list.Count(), 1);
        const Caption& caption = *list.Head();
        EXPECT_EQ(SubtitleTimeToFrame(file.cues.at(0).startMs), c.start);
        EXPECT_EQ(SubtitleTimeToFrame(file.cues.at(0).endMs), c.end);
        const std::string text(c.text);
        for (size_t k = 0; k < text.size(); ++k) {
            EXPECT_EQ(caption.cells[c.row][c.column + k].character, uint8_t(text[k])) << k;
        }
        EXPECT_EQ(caption.cells[c.row][c.column].attribute, c.attribute);
    }
    for (const char* refused : {"<html><p>HI</p></html>",
                                "<tt xmlns=\"http://www.w3.org/ns/ttml\">", "Scenarist_SCC V1.0"}) {
        EXPECT_FALSE(ReadTimedText(refused, nullptr).recognized) << refused;
    }
}

// Each caption's words, the row and column of each, their attributes, and its frames.
std::string Shown(const CaptionList& list) {
    std::string out;
    for (const Caption* c = list.Head(); c; c = c->next) {
        std::string screen;
        for (int r = 0; r < kScreenRows; ++r) {
            for (int col = 0; col < kScreenColumns; ++col) {
                const CaptionCell& cell = c->cells[r][col];
                if (cell.character <= ' ') continue;
                char text[32];
                std::snprintf(text, sizeof text, " %d,%d:%c/%02X", r, col, cell.character,
                              cell.attribute);
                screen += text;
            }
        }
        if (!screen.empty())
            out +=
                std::to_string(c->startFrame) + "-" + std::to_string(c->endFrame) + screen + "\n";
    }
    return out;
}

bool Have(const char* command) {
    return std::system((std::string("command -v ") + command + " > /dev/null 2>&1").c_str()) == 0;
}

bool Shell(const std::string& command) {
    return std::system((command + " > /dev/null 2>&1").c_str()) == 0;
}

// What the npm packages imsc (TTML) and webvtt-parser (WebVTT) say of the files: one line per
// error or warning, empty when they find none; nothing when they are not installed.
std::optional<std::string> NpmCheckers(const std::vector<std::string>& files) {
    const std::string modules = VANTREL_NPM_MODULES;
    if (!Have("node") || !std::filesystem::exists(modules + "/imsc") ||
        !std::filesystem::exists(modules + "/webvtt-parser")) {
        std::printf("imsc and webvtt-parser are not installed in %s: not asked\n", modules.c_str());
        return std::nullopt;
    }
    std::string command =
        "NODE_PATH='" + modules + "' node '" VANTREL_CHECKERS "/timed_text_check.js'";
    for (const std::string& file : files) command += " '" + file + "'";
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return "not run";
    std::string said;
    char chunk[4096];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) said.append(chunk, n);
    if (pclose(pipe) != 0 && said.empty()) said = "failed without a word";
    return said;
}

// Captions placed and styled as 608 allows, through every format that places text and back.
TEST(TimedTextRoundTrip, PlacedStyledCaptionsComeBackFromEveryWriter) {
    const auto build = [](CaptionList& list) {
        const uint8_t yellow = kDefaultAttribute | 5, italic = kDefaultAttribute | kItalicsBit;
        AddCaption(list, 30, 90, "CENTRED", 14, 12);
        Caption* c = AddCaption(list, 90, 150, "LEFT & <\"ONE\">", 1, 4);
        PutText(*c, 2, 4,
                "\x1D"
                "YELLOW",
                yellow);
        PutText(*c, 13, 20, "APART");
        c = AddCaption(list, 400, 1000, "INDENTS", 10, 2);
        PutText(*c, 11, 9,
                "\x0C"
                "MORE",
                italic);
        PutText(*c, 11, 14, "\x18\xC9T\xC9 \x90", kDefaultAttribute | kUnderlineBit);
        for (int k = 0; k < 20; ++k)
            AddCaption(list, 1000 + 50 * k, 1040 + 50 * k, "LINE", 5 + k % 10, k);
    };
    CaptionList list;
    build(list);
    TempDir dir;
    std::vector<std::string> written;  // for the npm checkers, which know no DFXP
    for (const std::string extension : {"ttml", "smpte.xml", "dfxp", "vtt", "style.vtt"}) {
        SCOPED_TRACE(extension);
        CaptionProject project, back;
        build(project.captions);
        const std::string path = dir.File("out." + extension);
        if (extension != "dfxp") written.push_back(path);
        ASSERT_EQ(ExportCaptionFile(project, path, *FormatOfPath(path),
                                    {.webVttStyle = extension == "style.vtt"})
                      .write,
                  WriteResult::Written);
        EXPECT_EQ(ReadFileText(path).find("\nSTYLE\n") != std::string::npos,
                  extension == "style.vtt");
        ASSERT_EQ(ImportCaptionFile(back, path, path.substr(path.rfind('.') + 1)),
                  ImportResult::Imported);
        EXPECT_EQ(Shown(back.captions), Shown(list));
    }
    if (const auto said = NpmCheckers(written)) {
        EXPECT_EQ(*said, "");
    }
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Words and times (within `tolerance` seconds) of two .srt texts agree cue by cue.
void ExpectSameCues(const std::string& want, const std::string& got,
                    double tolerance = kFrameSeconds) {
    const std::vector<SrtCue> a = ParseSrt(want, true), b = ParseSrt(got, true);
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) {
        EXPECT_EQ(a[k].text, b[k].text) << k;
        EXPECT_NEAR(a[k].start, b[k].start, tolerance) << k;
        EXPECT_NEAR(a[k].end, b[k].end, tolerance) << k;
    }
}

// ttconv reads our TTML and SMPTE-TT with our words and times, FFmpeg our WebVTT; and our
// reading of ttconv's IMSC of each public .scc sample has the words, rows and times of ours.
TEST(TimedTextCheckers, IndependentReadersAgree) {
    const bool ttconv = Have("ttconv"), ffmpeg = HaveFfmpeg();
    if (!ttconv && !ffmpeg) GTEST_SKIP() << "neither ttconv nor ffmpeg is installed";
    const auto samples = Samples({"scc"});
    if (samples.empty()) GTEST_SKIP() << "no .scc samples";
    size_t compared = 0;
    for (const auto& [sample, extension] : samples) {
        SCOPED_TRACE(sample);
        TempDir dir;
        CaptionProject project;
        if (ImportCaptionFile(project, sample, extension) != ImportResult::Imported ||
            project.captions.Empty())
            continue;
        const std::string ours = SubtitleText(project.captions, true);
        const std::string again = dir.File("again.scc");
        for (const std::string out : {"a.ttml", "a.smpte.xml", "a.dfxp", "a.vtt"}) {
            SCOPED_TRACE(out);
            const std::string path = dir.File(out), srt = path + ".srt";
            const bool vtt = out == "a.vtt";
            ExportCaptionFile(project, path, *FormatOfPath(path));
            // Read back, and on to .scc and back, it is the sample's caption list: every
            // character, its row, column and attributes, on the sample's frames.
            CaptionProject back, scc;
            ASSERT_EQ(ImportCaptionFile(back, path, path.substr(path.rfind('.') + 1)),
                      ImportResult::Imported);
            EXPECT_EQ(Shown(back.captions), Shown(project.captions));
            ExportCaptionFile(back, again, *FormatOfPath(again));
            ASSERT_EQ(ImportCaptionFile(scc, again, "scc"), ImportResult::Imported);
            EXPECT_EQ(Shown(scc.captions), Shown(project.captions));
            // ttconv knows TTML's namespace, not the DFXP draft's.
            if (out == "a.dfxp" || (vtt ? !ffmpeg : !ttconv)) continue;
            // Our .vtt as delivered: FFmpeg 5.1 (trac ticket 9064) would read no cue after a
            // STYLE block.
            ASSERT_TRUE(
                Shell(vtt ? "ffmpeg -nostdin -v error -y -i '" + path + "' '" + srt + "'"
                          : "ttconv convert --itype TTML -i '" + path + "' -o '" + srt + "'"))
                << out;
            // FFmpeg gives our indenting no-break spaces as the hard spaces (\h) of ASS.
            ExpectSameCues(ours, Replaced(ReadFileText(srt), "\\h", ""));
            ++compared;
        }
        const auto said =
            NpmCheckers({dir.File("a.ttml"), dir.File("a.smpte.xml"), dir.File("a.vtt")});
        if (said) {
            EXPECT_EQ(*said, "");
        }
        if (!ttconv) continue;
        const std::string imsc = dir.File("theirs.ttml");
        // ttconv reads roll-up, paint-on and malformed samples otherwise than we do (or not at
        // all); those are said and not compared.
        CaptionProject theirs;
        if (!Shell("ttconv convert -i '" + sample + "' -o '" + imsc + "'") ||
            ImportCaptionFile(theirs, imsc, "ttml") != ImportResult::Imported ||
            theirs.captions.Count() != project.captions.Count()) {
            std::printf("ttconv's IMSC of %s is not compared\n", sample.c_str());
            continue;
        }
        // ttconv dates an .scc caption by its line's timecode, we by the frame its End Of
        // Caption is sent on, which may be as long after as the caption takes to load. Its
        // table gives 608's quotation mark as two backquotes, which 608 shows as apostrophes.
        ExpectSameCues(Replaced(ours, "\"", "''"), SubtitleText(theirs.captions, true), 0.5);
        // The rows of each caption.
        for (const Caption *a = project.captions.Head(), *b = theirs.captions.Head(); a && b;
             a = a->next, b = b->next) {
            for (int r = 0; r < kScreenRows; ++r) {
                const bool rowA = std::any_of(std::begin(a->cells[r]), std::end(a->cells[r]),
                                              [](auto& x) { return x.character > ' '; });
                const bool rowB = std::any_of(std::begin(b->cells[r]), std::end(b->cells[r]),
                                              [](auto& x) { return x.character > ' '; });
                EXPECT_EQ(rowA, rowB) << a->startFrame << " row " << r;
            }
        }
    }
    if (compared == 0) GTEST_SKIP() << "no sample read";
}

}  // namespace
}  // namespace vantrel
