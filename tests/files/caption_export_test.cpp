// Exporting captions: the encoder's stream laid out as raw pairs, Scenarist text and
// disassembly text; what is said of captions left out; every writer's failure; random projects
// exported as each format and imported again as the same captions. And the texts people read
// (.srt, timing report, the command-line list): real times of frames at 30000/1001 per second,
// and the screen as a receiver shows it.
#include "files/caption_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "files/caption_formats.h"
#include "files/caption_import.h"
#include "files/ccd.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using namespace testing;

const std::string kSccHead = "Scenarist_SCC V1.0\r\n";
const std::string kCcdHead = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";

std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int k = 0; k < count; ++k) out += text;
    return out;
}

// Every row of the table of formats: found by each of its names, doing what the tool's users
// rely on (MCC and video carry field 2; the timecode formats take drop-frame labels).
TEST(FormatTable, EveryRowIsFoundByItsNamesAndDoesWhatItSays) {
    const struct {
        const char* path;
        const char* name;
        bool reads, writes, field2, timecodes;
    } cases[] = {
        {"a.BIN", "raw", true, true, false, false},
        {"a.dat", "raw", true, true, false, false},
        {"a.scc", "scc", true, true, false, true},
        {"a.ccd", "ccd", true, true, false, true},
        {"a.mcc", "mcc", true, true, true, true},
        {"a.srt", "srt", true, true, false, false},
        {"a.vtt", "vtt", true, true, false, false},
        {"a.m2v", "m2v", true, false, true, false},
        {"a.ttml", "ttml", true, true, false, false},
        {"a.XML", "ttml", true, true, false, false},
        {"a.dfxp", "dfxp", true, true, false, false},
        {"a.mxf", "video", true, false, true, false},
        {"a.webm", "video", true, false, true, false},
        {"a.ccp", "ccp", true, true, false, false},
        {"a.txt", "txt", false, true, false, true},
        // The longest extension names the format: SMPTE-TT is the TTML of a name in .smpte.xml.
        {"a.smpte.xml", "smpte-tt", true, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const CaptionFormat* f = FormatOfPath(c.path);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f, FormatNamed(c.name));
        if (f->name != "smpte-tt") {
            EXPECT_EQ(f, FormatOfExtension(ExtensionOf(c.path)));
        }
        EXPECT_EQ(f->reads, c.reads);
        EXPECT_EQ(f->writes, c.writes);
        EXPECT_EQ(f->field2, c.field2);
        EXPECT_EQ(f->timecodes, c.timecodes);
        const std::string pattern = "*." + LowerCaseAscii(ExtensionOf(c.path));
        EXPECT_EQ(KindsFilter("x", {f->kind}, c.reads).find(pattern) != std::string::npos, true);
    }
    EXPECT_EQ(FormatOfPath("a.doc"), nullptr);
    EXPECT_EQ(FormatOfPath("scc"), nullptr);
    EXPECT_EQ(TimecodeOutputs(), ".scc, .ccd, .mcc and .txt");
    EXPECT_EQ(RateOutputs(), ".scc and .mcc");
}

TEST(CaptionTextWriters, PairStreamsAsSccAndCcdLines) {
    const std::vector<uint8_t> longRun = Bytes(Repeat("\xC1\xC2", 300));
    const struct {
        const char* what;
        std::vector<uint8_t> stream;
        std::string scc, ccd;  // after the header
    } cases[] = {
        {"one caption on one line", AfterNullPairs(30, "\x94\x20\x94\xAE\xC8\xE9\x94\x2F\x80\x80"),
         "\r\n00:00:01:00\t9420 94AE C8E9 942F\r\n", "00:00:01:00\t{RCL}{ENM}Hi{EOC}\r\n"},
        {"a new line after End Of Caption", Bytes("\x94\x20\xC8\x80\x94\x2F\x94\x2C\xC8\xE9"),
         "\r\n00:00:00:00\t9420 C880 942F\r\n\r\n00:00:00:03\t942C C8E9\r\n",
         "00:00:00:00\t{RCL}H_{EOC}\r\n00:00:00:03\t{EDM}Hi\r\n"},
        {"a new line after 256 pairs", longRun,
         "\r\n00:00:00:00\t" + Repeat("C1C2 ", 255) + "C1C2\r\n\r\n00:00:08:16\t" +
             Repeat("C1C2 ", 43) + "C1C2\r\n",
         "00:00:00:00\t" + Repeat("AB", 256) + "\r\n00:00:08:16\t" + Repeat("AB", 44) + "\r\n"},
        {"timecodes past a day", AfterNullPairs(3599999, "\x94\x2C"), "\r\n33:19:59:29\t942C\r\n",
         "33:19:59:29\t{EDM}\r\n"},
        // Transparent space, a preamble, the extended Ô, a character pair with a null byte, and
        // a pair the table doesn't name.
        {"control pairs named, others spelled",
         Bytes("\x91\xB9\x94\x70\x92\x3A\xC8\x80\x2A\x7F"
               "\x94\xA2"),
         "\r\n00:00:00:00\t91B9 9470 923A C880 2A7F 94A2\r\n",
         "00:00:00:00\t{\xA0}{1500}{\xD4}H_\xE1|{}\r\n"},
        {"nothing but the header", AfterNullPairs(5), "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatSccText(c.stream), kSccHead + c.scc) << c.what;
        EXPECT_EQ(FormatCcdText(c.stream), kCcdHead + c.ccd) << c.what;
    }
    // At 23.976, picture 242 (10.093 s) carries frames 302 and 303 (10.077 and 10.110 s):
    // a line cannot start at 303, so it starts a frame early with the pair before it.
    const PictureRate& film = *PictureRateNamed("23.976");
    EXPECT_EQ(FormatSccText(AfterNullPairs(303, "\x94\x2C"), {}, nullptr, film),
              kSccHead + "\r\n00:00:10:02\t8080 942C\r\n");
    EXPECT_EQ(FormatSccText(AfterNullPairs(301, "\x94\x20\x94\x2F\x94\x2C"), {}, nullptr, film),
              kSccHead + "\r\n00:00:10:01\t9420\r\n\r\n00:00:10:02\t942F 942C\r\n");
}

struct ExportFixture : ProjectTest {
    std::string Export(const std::string& name) {
        const ExportResult r = ExportCaptionFile(project, dir.File(name), ExtensionOf(name));
        EXPECT_EQ(r.write, WriteResult::Written);
        return ReadFileText(dir.File(name));
    }
};

TEST_F(ExportFixture, WritesEachFormat) {
    // Without a caption, each format's file without one: its header.
    EXPECT_EQ(Export("e.bin"), "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(Export("e.scc"), kSccHead);
    EXPECT_EQ(Export("e.ccd"), kCcdHead);
    AddCaption(project.captions, 30, 90, "HI");
    const std::string pairs = "\x94\x20\x94\xAE\x94\x70\xC8\x49\x94\x2F";
    EXPECT_EQ(Export("a.bin"), "\xFF\xFF\xFF\xFF" + std::string(52, '\x80') + pairs +
                                   std::string(118, '\x80') + "\x94\x2C");
    EXPECT_EQ(Export("a.DAT"), Export("a.bin"));
    EXPECT_EQ(Export("a.scc"),
              kSccHead + "\r\n00:00:00:26\t9420 94AE 9470 C849 942F\r\n\r\n00:00:03:00\t942C\r\n");
    EXPECT_EQ(Export("a.CCD"), kCcdHead +
                                   "00:00:00:26\t{RCL}{ENM}{1500}HI{EOC}\r\n"
                                   "00:00:03:00\t{EDM}\r\n");
    EXPECT_EQ(Export("a.xyz"), "");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ExportFixture, CaptionsLeftOutOrLateAreNamed) {
    AddCaption(project.captions, 30, 90, "HI");
    AddCaption(project.captions, 31, 90, "NO");  // too soon to be loaded in time: shown late
    AddCaption(project.captions, kMaxEncodedFrame + 1, kMaxEncodedFrame + 9, "LOST");
    const ExportResult r = ExportCaptionFile(project, dir.File("l.scc"), "scc");
    EXPECT_EQ(std::tuple(r.write, r.leftOut, r.late), std::tuple(WriteResult::Written, 1u, 1u));
    EXPECT_EQ(host.messages.size(), 2u);

    std::vector<Caption> captions(13);
    std::vector<const Caption*> leftOut;
    std::vector<LateCaption> late;
    for (size_t k = 0; k < captions.size(); ++k) {
        captions[k].startFrame = static_cast<int32_t>(30 * k);
        leftOut.push_back(&captions[k]);
        late.push_back({&captions[k], 30 * static_cast<int64_t>(k) + 5});
    }
    EXPECT_EQ(LeftOutCaptionsText({}) + LateCaptionsText({}), "");
    const std::string many = LeftOutCaptionsText(leftOut);
    EXPECT_EQ(many.rfind("13 captions could not be encoded", 0), 0u);
    EXPECT_NE(many.find("00:00:00:00, 00:00:01:00,"), std::string::npos);
    EXPECT_NE(many.find("00:00:09:00 and 3 more."), std::string::npos);
    EXPECT_EQ(LateCaptionsText({late[1]}),
              "1 caption could not be loaded in time and is shown "
              "late. It starts at 00:00:01:00 (shown from 00:00:01:05).");
    EXPECT_NE(LateCaptionsText(late).find("00:00:08:00 (shown from 00:00:08:05), 00:00:09:00 "
                                          "(shown from 00:00:09:05) and 3 more."),
              std::string::npos);
}

// A write into a missing folder, onto a folder or onto a file the user may not write (root
// may) fails with one message that names the file and gives the system's reason, keeps the
// modified flag, and leaves what was there.
TEST_F(ExportFixture, EveryWriterReportsAFailureAndLeavesWhatWasThere) {
    AddCaption(project.captions, 30, 90, "HI");
    WriteFileText(dir.File("read-only"), "old");
    ::chmod(dir.File("read-only").c_str(), 0444);
    const std::pair<std::string, const char*> targets[] = {
        {dir.File("no-folder/out"), "No such file or directory"},
        {dir.Path(), "Is a directory"},
        {dir.File("read-only"), ::geteuid() == 0 ? nullptr : "Permission denied"}};
    for (const auto& [path, reason] : targets) {
        const std::pair<const char*, std::function<WriteResult()>> writers[] = {
            {"project", [&] { return SaveProject(project, path); }},
            {"scc", [&] { return ExportCaptionFile(project, path, "scc").write; }},
            {"raw", [&] { return ExportCaptionFile(project, path, "bin").write; }},
            {"subtitles", [&] { return WriteSubtitles(project, path); }},
            {"report", [&] { return WriteTimingReport(project, path); }},
        };
        for (const auto& [what, write] : writers) {
            if (!reason) continue;
            host.messages.clear();
            project.modified = true;
            EXPECT_EQ(write(), WriteResult::Failed) << what;
            EXPECT_TRUE(project.modified) << what;
            EXPECT_EQ(host.messages,
                      std::vector<std::string>{"Error saving file " + path + "\n\n" + reason})
                << what;
        }
    }
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"read-only"});
    EXPECT_EQ(ReadFileText(dir.File("read-only")), "old");
}

class RoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(RoundTrip, RandomProjectsComeBackTheSame) {
    const std::string extension = GetParam();
    TempDir dir;
    std::mt19937 rng(20240611);
    for (int round = 0; round <= 25; ++round) {
        RecordingHost host;
        CaptionProject original;
        original.host = &host;
        if (round == 0) {
            // The first ends on the first frame of the second's loading: its erase goes inside
            // that loading, not before it, or the second would show a frame late.
            AddCaption(original.captions, 10, 26, "HI");
            AddCaption(original.captions, 30, 90, "HI");
        } else {
            RandomProject(rng, original.captions, 60);
        }
        const std::string path = dir.File("p." + extension);
        const ExportResult exported = ExportCaptionFile(original, path, extension);
        ASSERT_EQ(exported.write, WriteResult::Written);
        ASSERT_EQ(exported.leftOut, 0u) << host.messages[0];

        CaptionProject imported;
        imported.host = &host;
        ASSERT_EQ(ImportCaptionFile(imported, path, extension), ImportResult::Imported);
        EXPECT_TRUE(SameCaptions(original.captions, imported.captions, false, true))
            << "round " << round;
        EXPECT_TRUE(host.messages.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip, ::testing::Values("scc", "ccd", "bin", "dat"));

struct Row {
    int row, column;
    std::string cells;  // caption-set bytes; below 0x20 an attribute-code cell
};

struct TextCase {
    const char* what;
    std::vector<Row> rows;
    const char* lines;    // the .srt text of the caption (UTF-8)
    const char* running;  // the report's text
};

const TextCase kCases[] = {
    // A code cell between words is the space a captioner never types beside it.
    {"colour code", {{14, 0, "I\x18KNOW\x1CYOU"}}, "i know you", "I KNOW YOU"},
    {"italics and underline", {{14, 0, "THE\x0ENEW \x18PLAN"}}, "the new plan", "THE NEW PLAN"},
    {"code at the row's ends", {{14, 0, "\x1CHI\x18"}}, "hi", "HI"},
    // Blanks are squeezed and never lead or trail.
    {"spaces inside a row", {{14, 0, "A  \x1C  B"}}, "a b", "A B"},
    {"spaces around a row", {{14, 0, "   AB   "}}, "ab", "AB"},
    {"empty cells between runs", {{14, 0, "AB"}, {14, 20, "CD"}}, "ab cd", "AB CD"},
    {"0x80 shows nothing", {{14, 0, "A\200B"}}, "ab", "AB"},
    // Every row with text is its own line, whatever its first cell.
    {"row after row", {{12, 3, "HELLO"}, {13, 0, "WORLD"}}, "hello\r\nworld", "HELLO WORLD"},
    {"centred rows", {{13, 0, "AB "}, {14, 0, "   CD"}}, "ab\r\ncd", "AB CD"},
    {"code-led row", {{13, 0, "AB"}, {14, 0, "\034CD"}}, "ab\r\ncd", "AB CD"},
    {"empty rows between", {{0, 0, "A"}, {7, 0, " \x18 "}, {14, 31, "B"}}, "a\r\nb", "A B"},
    // The music note has a Unicode form like every other character.
    {"music note",
     {{14, 0, "\x90 LA LA \x90"}},
     "\xE2\x99\xAA la la \xE2\x99\xAA",
     "\xE2\x99\xAA LA LA \xE2\x99\xAA"},
    {"accents lower-cased",
     {{14, 0, "\xC9T\xC9 \xC6"}},
     "\xC3\xA9t\xC3\xA9 \xC3\x86",
     "\xC3\x89T\xC3\x89 \xC3\x86"},
    // É, a note, a code cell, ñ, the 608 block and a null byte, then A.
    {"characters",
     {{14, 0, "\xC9 \x90\x1C\xF1\x7F\200A"}},
     "\xC3\xA9 \xE2\x99\xAA \xC3\xB1\xE2\x96\210a",
     "\xC3\x89 \xE2\x99\xAA \xC3\xB1\xE2\x96\210A"},
};

TEST(PlainText, ReadsAsAReceiverShowsTheScreen) {
    for (const TextCase& t : kCases) {
        CaptionList list;
        Caption* c = AddCaption(list, 30, 90);
        for (const Row& r : t.rows) PutText(*c, r.row, r.column, r.cells);
        EXPECT_EQ(SubtitleText(list, true),
                  std::string("1\r\n00:00:01,001 --> 00:00:03,003\r\n") + t.lines + "\r\n\r\n")
            << t.what;
        EXPECT_EQ(TimingReportText(list),
                  std::string("00:00:01:00 - 00:00:03:00\t") + t.running + "\r\n")
            << t.what;
    }
}

TEST(PlainText, StopsAtCapacity) {
    Caption c;
    PutText(c, 0, 3, "ABCD");
    PutText(c, 1, 0, " \030EF");
    const std::pair<size_t, const char*> cases[] = {
        {0, ""}, {3, "ABC"}, {4, "ABCD"}, {5, "ABCD\r"}, {6, "ABCD\r\n"}, {7, "ABCD\r\nE"},
    };
    for (const auto& [capacity, want] : cases) {
        std::string buffer(capacity + 1, '\xEE');
        const size_t n = c.GetLinesText(buffer.data(), false, capacity);
        EXPECT_EQ(buffer.substr(0, n + 1), std::string(want) + '\0') << capacity;
        const size_t m = c.GetRunningText(buffer.data(), false, capacity);
        EXPECT_EQ(buffer.substr(0, m), std::string("ABCD EF").substr(0, capacity)) << capacity;
    }
}

// One block or line per caption, numbered from one; an empty screen still gets its own, and a
// full one (15 rows of 32 letters, joined by CR LF or by spaces) fits whole.
TEST(PlainText, OneBlockOrLinePerCaptionNumberedFromOne) {
    CaptionList list;
    EXPECT_EQ(SubtitleText(list, true), "");
    EXPECT_EQ(TimingReportText(list), "");
    AddCaption(list, 14, 50, "HELLO", 13);
    PutText(*list.Head(), 14, 0, "WORLD");
    AddCaption(list, 108000, 108029);
    Caption* full = AddCaption(list, 108030, 108060);
    std::string lines, running;
    for (int r = 0; r < kScreenRows; ++r) {
        PutText(*full, r, 0, std::string(kScreenColumns, 'X'));
        lines += (r ? "\r\n" : "") + std::string(kScreenColumns, 'x');
        running += (r ? " " : "") + std::string(kScreenColumns, 'X');
    }
    EXPECT_EQ(SubtitleText(list, true),
              "1\r\n00:00:00,467 --> 00:00:01,668\r\nhello\r\nworld\r\n\r\n"
              "2\r\n01:00:03,600 --> 01:00:04,568\r\n\r\n\r\n"
              "3\r\n01:00:04,601 --> 01:00:05,602\r\n" +
                  lines + "\r\n\r\n");
    EXPECT_EQ(TimingReportText(list),
              "00:00:00:14 - 00:00:01:20\tHELLO WORLD\r\n"
              "01:00:00:00 - 01:00:00:29\t\r\n01:00:01:00 - 01:00:02:00\t" +
                  running + "\r\n");
}

}  // namespace
}  // namespace vantrel
