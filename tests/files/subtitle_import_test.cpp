// SubRip and WebVTT subtitles made into pop-on captions: reading, the layout on the 15 x 32
// screen, characters without a 608 form, timing, what is left out and said, and round trips
// through our own .srt and through FFmpeg's 608 decoder.
#include "files/subtitle_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

#include "codec/code_string.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/files_test_support.h"
#include "files/subtitles.h"
#include "files/timecode.h"

namespace vantrel {
namespace {

using namespace testing;

struct Imported {
    SubtitleFile file;
    CaptionList captions;
    std::vector<std::unique_ptr<Caption>> leftOut;
};

std::unique_ptr<Imported> Import(std::string_view text, bool webVtt = false) {
    auto result = std::make_unique<Imported>();
    result->file = webVtt ? ReadWebVtt(text) : ReadSubRip(text);
    result->leftOut = MakeSubtitleCaptions(result->file, result->captions);
    return result;
}

// A SubRip block: times in milliseconds.
std::string Cue(int64_t start, int64_t end, const std::string& text) {
    auto time = [](int64_t ms) {
        char t[32];
        std::snprintf(t, sizeof t, "%02lld:%02lld:%02lld,%03lld",
                      static_cast<long long>(ms / 3600000), static_cast<long long>(ms / 60000 % 60),
                      static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
        return std::string(t);
    };
    return "0\n" + time(start) + " --> " + time(end) + "\n" + text + "\n\n";
}

TEST(SubtitleLayout, CuesOnTheScreen) {
    const struct {
        const char* cue;
        std::vector<std::string> screens;
    } cases[] = {
        // The cue's own lines where they fit, at the bottom, each centred.
        {"HELLO\nWORLD", {"{RCL}{ENM}{1412}{TO1}HELLO_{1512}{TO1}WORLD_{EOC}"}},
        {"  spaced    out  ", {"{RCL}{ENM}{1508}{TO3}spaced out{EOC}"}},
        // Too long for 32 columns: balanced lines wrapped at words.
        {"one two three four five six seven eight nine",
         {"{RCL}{ENM}{1404}one two three four five_{1504}{TO2}six seven eight nine{EOC}"}},
        // A word longer than the screen is cut, not lost.
        {"abcdefghijklmnopqrstuvwxyzabcdefg",
         {"{RCL}{ENM}{1400}abcdefghijklmnopqrstuvwxyzabcdef{1512}{TO3}g_{EOC}"}},
        // More than four rows: consecutive captions.
        {"1\n2\n3\n4\n5",
         {"{RCL}{ENM}{1312}{TO3}1_{1412}{TO3}2_{1512}{TO3}3_{EOC}",
          "{RCL}{ENM}{1412}{TO3}4_{1512}{TO3}5_{EOC}"}},
        // Styles take a cell, in the place of the space beside them; punctuation goes with
        // its word.
        {"a <i>b</i>, c", {"{RCL}{ENM}{1512}{TO1}a_{I}b,{Wh}c_{EOC}"}},
        {"<font color=\"#ff0000\">red</font> <u>under</u> <font color=navy><i>x</i></font>",
         {"{RCL}{ENM}{1508}{TO1}{R}red_{WhU}under_{Bl}{I}x_{EOC}"}},
        {"{\\an8}on top", {"{RCL}{ENM}{0112}{TO1}on top{EOC}"}},
        // A sound description in angle brackets is text, not a tag.
        {"<LAUGHING & WHOOPS!>", {"{RCL}{ENM}{1504}{TO2}<LAUGHING & WHOOPS!>{EOC}"}},
        // Closest forms: straight quotes, the 608 dash, three dots, base letters; a combining
        // accent joins its letter.
        {"\xE2\x80\x9CSo\xE2\x80\x9D \xE2\x80\x94 \xC5\x82\xC3\xB3"
         "d\xC5\xBA\xE2\x80\xA6 e\xCC\x81",
         {"{RCL}{ENM}{1508}\"So\" -{-} l\xF3"
          "dz... \xE9{EOC}"}},
    };
    for (const auto& c : cases) {
        // Each caption's screen in disassembly notation: rows, indents, tab offsets and codes.
        std::vector<std::string> screens;
        const auto imported = Import(Cue(10000, 15000, c.cue));
        for (const Caption* k = imported->captions.Head(); k; k = k->next) {
            screens.push_back(*GetCodeText(*k));
        }
        EXPECT_EQ(screens, c.screens) << c.cue;
    }
}

// Random cues of short words in random styles: every word reaches the screens, in order and in
// its style, on at most four rows of at most 32 columns.
TEST(SubtitleLayout, NothingLostNothingOffScreen) {
    std::mt19937 rng(32);
    const char* open[] = {"<i>", "<u>", "<font color=red>", "<font color=#00ff00>"};
    const char* close[] = {"</i>", "</u>", "</font>", "</font>"};
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const int words = 1 + static_cast<int>(rng() % 40);
        for (int w = 0; w < words; ++w) {
            text += rng() % 6 == 0 ? "\n" : " ";
            const int style = static_cast<int>(rng() % 6);
            if (style < 4) text += open[style];
            text += std::string(1 + rng() % 9, static_cast<char>('a' + rng() % 26));
            if (style < 4) text += close[style];
        }
        const auto imported = Import(Cue(10010, 70070, text));
        ASSERT_TRUE(imported->leftOut.empty()) << text;
        // The words as read, with the attribute of each letter.
        std::string want, got;
        std::vector<uint8_t> wantAttributes, gotAttributes;
        for (const StyledLine& line : imported->file.cues.at(0).lines) {
            for (size_t k = 0; k < line.characters.size(); ++k) {
                if (line.characters[k] == ' ') continue;
                want += line.characters[k];
                wantAttributes.push_back(line.attributes[k]);
            }
        }
        for (const Caption* c = imported->captions.Head(); c; c = c->next) {
            EXPECT_LE(c->CountOccupiedRows(), kMaxCueRows) << text;
            for (const auto& row : c->cells) {
                for (const CaptionCell& cell : row) {
                    if (cell.character <= ' ') continue;
                    got += static_cast<char>(cell.character);
                    gotAttributes.push_back(cell.attribute);
                }
            }
        }
        ASSERT_EQ(got, want) << text;
        ASSERT_EQ(gotAttributes, wantAttributes) << text;
    }
}

// Frame 300 is at 10,010 ms, 330 at 11,011, 360 at 12,012 and 420 at 14,014.
TEST(SubtitleTiming, CuesBecomeCaptionsAtTheirFrames) {
    const struct {
        const char* what;
        std::string srt;
        const char* captions;
    } cases[] = {
        {"touching", Cue(10010, 12012, "a") + Cue(12012, 14014, "b"), "300-360S 360-420M "},
        {"overlapping", Cue(10010, 12012, "a") + Cue(11011, 14014, "b"), "300-330S 330-420M "},
        {"apart", Cue(10010, 11011, "a") + Cue(12012, 14014, "b"), "300-330M 360-420M "},
        {"two frames", Cue(10010, 10077, "a"), "300-302M "},
        {"ending before it starts", Cue(10010, 5000, "a"), "300-301M "},
        // The encoder shows them late; none is left out.
        {"too short for its screens", Cue(10010, 10010, "1\n2\n3\n4\n5\n6\n7\n8\n9"),
         "300-301S 301-302S 302-303M "},
        {"out of order", Cue(12012, 14014, "b") + Cue(10010, 11011, "a"), "300-330M 360-420M "},
        {"same start, one screen", Cue(10010, 11011, "a") + Cue(10010, 12012, "b"), "300-360M "},
        {"five rows share the time by their text", Cue(10010, 14014, "1\n2\n3\n4\n5"),
         "300-372S 372-420M "},
    };
    for (const auto& c : cases) {
        const auto imported = Import(c.srt);
        std::string timing;  // "start-end" and the timing mode's initial of each caption
        for (const Caption* k = imported->captions.Head(); k; k = k->next) {
            timing += std::to_string(k->startFrame) + "-" + std::to_string(k->endFrame) +
                      "?NPSM"[k->timingMode] + ' ';
        }
        EXPECT_EQ(timing, c.captions) << c.what;
        EXPECT_TRUE(imported->leftOut.empty()) << c.what;
    }
}

// Other line ends and UTF-16 are read as the readers' table shows for .scc, through the same
// text decoding.
TEST(SubtitleReader, OneFileWrittenEveryWay) {
    const std::string srt =
        "1\n00:00:10,010 --> 00:00:12,012\n<i>Hello</i> there\n<font "
        "color=\"yellow\">friend</font>\n\n"
        "2\n00:01:00,060 --> 00:01:02,062\n{\\an8}Top\n";
    auto crlf = [](std::string text) {
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
            text.insert(at, "\r");
        }
        return "\xEF\xBB\xBF" + text;
    };
    const std::string vtt =
        "WEBVTT - a title\nKind: captions\n\nNOTE a comment\nover two lines\n\nSTYLE\n::cue {}\n\n"
        "intro\n00:10.010 --> 00:12.012 align:center\n<i>Hello</i> there\n"
        "<c.yellow.bg_blue>friend</c>\n\n01:00.060 --> 01:02.062 line:0\nTop\n";
    const auto want = Import(srt);
    ASSERT_EQ(want->captions.Count(), 2);
    const std::pair<const char*, std::unique_ptr<Imported>> variants[] = {
        {"BOM and CR LF", Import(crlf(srt))},
        {"no blank lines", Import(std::string(srt).replace(srt.find("\n\n2"), 2, "\n"))},
        {"WebVTT", Import(vtt, true)},
        {"WebVTT, BOM and CR LF", Import(crlf(vtt), true)},
    };
    for (const auto& [what, got] : variants) {
        EXPECT_TRUE(got->file.recognized) << what;
        EXPECT_EQ(got->file.skippedBlocks, 0u) << what;
        EXPECT_TRUE(SameCaptions(want->captions, got->captions, true)) << what;
    }
    EXPECT_EQ(ReadWebVtt("WEBVTT\n\n00:01.000 --> 00:02.000\n&lt;b&gt; &amp; caf&#233;\n")
                  .cues.at(0)
                  .lines.at(0)
                  .characters,
              "<b> & caf\xE9");
    EXPECT_EQ(ReadWebVtt("WEBVTT\n\n00:01.000 --> 00:02.000\n<v Ann><LAUGHS></v> <00:01.500>hi\n")
                  .cues.at(0)
                  .lines.at(0)
                  .characters,
              "<LAUGHS> hi");
    EXPECT_FALSE(ReadWebVtt(srt).recognized);
    EXPECT_EQ(ReadSubRip("junk\nmore junk\n\n" + srt).skippedBlocks, 1u);
}

struct SubtitleImport : ProjectTest {};

// A failed import is in ImportFixture's table; here what an import that works says.
TEST_F(SubtitleImport, SaysWhatWasLeftOut) {
    WriteFileText(dir.File("c.srt"),
                  "junk\n\n" + Cue(100, 2000, "too early") +
                      Cue(10000, 15000, "smile \xF0\x9F\x98\x80 \xF0\x9F\x98\x80") +
                      Cue(30000, 20000, "back") + Cue(40000, 0, "back") + Cue(5000, 6000, "early") +
                      Cue(5500, 7000, "over"));
    MakeCurrentProject(false);
    EXPECT_EQ(ImportCaptionFile(project, dir.File("c.srt"), "srt"), ImportResult::Imported);
    EXPECT_TRUE(project.modified);
    ASSERT_EQ(project.captions.Count(), 6);
    EXPECT_EQ(project.captions.Head()->startFrame, SubtitleTimeToFrame(100));
    const std::string path = dir.File("c.srt");
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{
                  "1 block of " + path + " has no readable time line and was left out",
                  "2 cues of " + path +
                      " end before they start, the first on line 12; they were kept and end one "
                      "frame after their start",
                  "1 cue of " + path +
                      " starts before the cue before it, at 00:00:05:00; the cues were put in "
                      "time order",
                  "1 cue of " + path +
                      " starts before the cue before it ends, at 00:00:05:15; that cue ends "
                      "where the next begins",
                  "2 characters of " + path +
                      " have no form on a caption screen and were left out; the first, U+1F600, "
                      "is in the cue at 00:00:10:00"}));
}

// A caption that cannot be loaded in time is shown late, not lost: a long sentence one second
// in, and 20 cues 200 ms apart, each shown as early as its loading allows and in order; our
// decoder and FFmpeg's read every word back.
TEST(SubtitleTiming, LateCaptionsKeepTheirWords) {
    std::string dense;
    for (int k = 0; k < 20; ++k) {
        dense += Cue(5000 + 200 * k, 5200 + 200 * k, "cue " + std::to_string(k) + " of twenty");
    }
    TempDir dir;
    for (const std::string& srt :
         {Cue(1001, 4004,
              "Nobody here expected the captions to be late, but the storm took the "
              "power"),
          dense}) {
        WriteFileText(dir.File("in.srt"), srt);
        CaptionProject project, back;
        ASSERT_EQ(ImportCaptionFile(project, dir.File("in.srt"), "srt"), ImportResult::Imported);
        const EncodedCaptions e = EncodeCaptions(project.captions);
        EXPECT_TRUE(e.leftOut.empty());
        std::vector<int64_t> shown, late;  // the frame after the last EOC, plus the loading
        for (const Caption* c = project.captions.Head(); c; c = c->next) {
            const auto pairs = static_cast<int64_t>(EncodeCodeString(BuildCodeString(*c)).size());
            const int64_t free = shown.empty() ? 0 : shown.back() + 1;
            shown.push_back(std::max<int64_t>(c->startFrame, free + (pairs + 1) / 2 - 1));
            if (shown.back() > c->startFrame) late.push_back(shown.back());
        }
        ASSERT_FALSE(late.empty());
        std::vector<int64_t> reported;
        for (const LateCaption& l : e.late) reported.push_back(l.shownFrom);
        EXPECT_EQ(reported, late);
        ASSERT_EQ(ExportCaptionFile(project, dir.File("out.scc"), "scc").late, late.size());
        ASSERT_EQ(ImportCaptionFile(back, dir.File("out.scc"), "scc"), ImportResult::Imported);
        auto words = [](const std::string& text) {
            std::vector<std::string> out;
            for (const SrtCue& cue : ParseSrt(text)) out.push_back(cue.text);
            return out;
        };
        EXPECT_EQ(words(SubtitleText(back.captions, true)), words(srt));
        if (!HaveFfmpeg()) continue;
        ASSERT_TRUE(FfmpegSccToSrt(dir.File("out.scc"), dir.File("ffmpeg.srt")));
        EXPECT_EQ(words(ReadFileText(dir.File("ffmpeg.srt"))), words(srt));
    }
}

// Cues of lower-case words (as our .srt holds them), one to three lines that fit the screen,
// at frame times, some touching the next; and the same cues with styles and some at the top
// for FFmpeg.
std::string RandomSubRip(std::mt19937& rng, int count, bool styled) {
    const char* words[] = {"the",  "plan", "is", "new",      "caption", "we",   "go",   "now",
                           "okay", "yes",  "no", "tomorrow", "night",   "wait", "here", "there"};
    std::string srt;
    int64_t frame = 60;
    for (int i = 0; i < count; ++i) {
        std::string text;
        const int lines = 1 + static_cast<int>(rng() % 3);
        for (int l = 0; l < lines; ++l) {
            if (l > 0) text += '\n';
            const int n = 1 + static_cast<int>(rng() % 4);
            for (int w = 0; w < n; ++w) {
                std::string word = words[rng() % std::size(words)];
                if (styled && rng() % 4 == 0) word = "<i>" + word + "</i>";
                if (styled && rng() % 5 == 0) word = "<font color=\"cyan\">" + word + "</font>";
                if (styled && rng() % 6 == 0) word += ",";
                text += (w > 0 ? " " : "") + word;
            }
        }
        if (styled && rng() % 5 == 0) text = "{\\an8}" + text;
        const int64_t end = frame + 40 + static_cast<int64_t>(rng() % 120);
        srt += std::to_string(i + 1) + "\n" + FormatSubtitleTime(frame) + " --> " +
               FormatSubtitleTime(end) + "\n" + text + "\n\n";
        frame = rng() % 3 == 0 ? end : end + 1 + static_cast<int64_t>(rng() % 60);
        frame = std::max<int64_t>(frame, end) + 70;  // room to load the next
    }
    return srt;
}

TEST(SubtitleRoundTrip, OurSubRipThroughAProjectIsTheSame) {
    std::mt19937 rng(2024);
    const std::string srt = RandomSubRip(rng, 300, false);
    const auto first = Import(srt);
    ASSERT_EQ(first->leftOut.size(), 0u);
    ASSERT_EQ(first->captions.Count(), 300);
    const std::string ours = SubtitleText(first->captions, true);
    const auto second = Import(ours);
    EXPECT_EQ(SubtitleText(second->captions, true), ours);
    EXPECT_TRUE(SameCaptions(first->captions, second->captions, true));
    // The times of frames come back to the millisecond.
    auto times = [](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (line.find(" --> ") != std::string::npos) out.push_back(line.substr(0, 29));
        }
        return out;
    };
    EXPECT_EQ(times(ours), times(srt));
    // Styled words keep their spaces in our .srt: each code cell reads as one.
    const auto styled = Import(Cue(10000, 15000, "A <i>b</i>, <font color=red>c</font> <u>d</u>"));
    EXPECT_EQ(SubtitleText(styled->captions, true),
              "1\r\n00:00:10,010 --> 00:00:15,015\r\na b, c d\r\n\r\n");
    // And its tags, as they came in (the comma that follows a word takes the word's style).
    EXPECT_EQ(SubtitleText(styled->captions),
              "1\r\n00:00:10,010 --> 00:00:15,015\r\n"
              "A <i>b,</i> <font color=\"red\">c</font> <u>d</u>\r\n\r\n");
}

// FFmpeg's 608 decoder reads our .scc of styled subtitles (some at the top) as the same letters
// and digits cue by cue (lines may be wrapped otherwise), at nearly the same times: it dates a
// cue by the .scc timecode read as a clock at 30 frames a second and by the line that loads it,
// so a start may come as early as the caption takes to load, and an end as early as the next
// caption's loading when the erase is sent inside it.
TEST(SubtitleRoundTrip, FfmpegReadsOurSccAsWeDo) {
    if (!HaveFfmpeg()) GTEST_SKIP() << "no ffmpeg";
    std::mt19937 rng(608);
    TempDir dir;
    for (int round = 0; round < 4; ++round) {
        const std::string srt = RandomSubRip(rng, 40, true);
        WriteFileText(dir.File("in.srt"), srt);
        CaptionProject project;
        ASSERT_EQ(ImportCaptionFile(project, dir.File("in.srt"), "srt"), ImportResult::Imported);
        ASSERT_EQ(ExportCaptionFile(project, dir.File("out.scc"), "scc").leftOut, 0u);
        ASSERT_TRUE(FfmpegSccToSrt(dir.File("out.scc"), dir.File("ffmpeg.srt")));
        const auto theirs = ParseSrt(ReadFileText(dir.File("ffmpeg.srt")));
        const auto read = ParseSrt(srt);
        ASSERT_EQ(theirs.size(), read.size());
        ASSERT_EQ(project.captions.Count(), static_cast<int>(read.size()));
        Caption* c = project.captions.Head();
        for (size_t k = 0; k < read.size(); ++k, c = c->next) {
            SCOPED_TRACE(std::to_string(round) + "/" + std::to_string(k));
            EXPECT_EQ(theirs[k].text, read[k].text);
            const double start = c->startFrame / 30.0, end = c->endFrame / 30.0;
            const double load = (GetLoadFrames(*c) + 1) / 30.0 + 0.05;
            const double nextLoad = ((c->next ? GetLoadFrames(*c->next) : 0) + 1) / 30.0 + 0.05;
            EXPECT_TRUE(theirs[k].start <= start + 0.05 && theirs[k].start >= start - load);
            EXPECT_TRUE(theirs[k].end <= end + 0.05 && theirs[k].end >= end - nextLoad);
        }
    }
}

}  // namespace
}  // namespace vantrel
