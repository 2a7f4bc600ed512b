// The texts people read (.srt, timing report, the command-line list), as text and as files:
// real times of frames at 30000/1001 per second, and the screen as a receiver shows it. A
// mid-row code takes its cell and shows as a space, blanks between words are one space, every
// row with text is a line of its own, the music note is written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/files_test_support.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

using testing::PutText;

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
    {"italics code", {{14, 4, "A\014B"}}, "a b", "A B"},
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
    {"only notes", {{14, 10, "\x90\x90"}}, "\xE2\x99\xAA\xE2\x99\xAA", "\xE2\x99\xAA\xE2\x99\xAA"},
    {"accents lower-cased",
     {{14, 0, "\xC9T\xC9 \xC6"}},
     "\xC3\xA9t\xC3\xA9 \xC3\x86",
     "\xC3\x89T\xC3\x89 \xC3\x86"},
    // É, a note, a code cell, ñ, the 608 block and a null byte, then A.
    {"characters",
     {{14, 0, "\xC9 \x90\x1C\xF1\x7F\200A"}},
     "\xC3\xA9 \xE2\x99\xAA \xC3\xB1\xE2\x96\210a",
     "\xC3\x89 \xE2\x99\xAA \xC3\xB1\xE2\x96\210A"},
    {"empty screen", {}, "", ""},
};

TEST(PlainText, ReadsAsAReceiverShowsTheScreen) {
    for (const TextCase& t : kCases) {
        CaptionList list;
        Caption* c = testing::AddCaption(list, 30, 90);
        for (const Row& r : t.rows) PutText(*c, r.row, r.column, r.cells);
        EXPECT_EQ(SubtitleText(list),
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

TEST(PlainText, OneBlockOrLinePerCaptionNumberedFromOne) {
    CaptionList list;
    EXPECT_EQ(SubtitleText(list), "");
    EXPECT_EQ(TimingReportText(list), "");
    testing::AddCaption(list, 14, 50, "HELLO", 13);
    PutText(*list.Head(), 14, 0, "WORLD");
    testing::AddCaption(list, 108000, 108029);  // an empty screen still gets its block and line
    EXPECT_EQ(SubtitleText(list),
              "1\r\n00:00:00,467 --> 00:00:01,668\r\nhello\r\nworld\r\n\r\n"
              "2\r\n01:00:03,600 --> 01:00:04,568\r\n\r\n\r\n");
    EXPECT_EQ(TimingReportText(list),
              "00:00:00:14 - 00:00:01:20\tHELLO WORLD\r\n"
              "01:00:00:00 - 01:00:00:29\t\r\n");
}

TEST(PlainText, AFullScreenFitsWhole) {
    CaptionList list;
    Caption* c = testing::AddCaption(list, 0, 30);
    for (int r = 0; r < kScreenRows; ++r) PutText(*c, r, 0, std::string(kScreenColumns, 'X'));
    // 15 rows of 32 letters, joined by spaces or by CR LF.
    const std::string report = TimingReportText(list);
    EXPECT_EQ(report.size(), std::string("00:00:00:00 - 00:00:01:00\t").size() + 15 * 32 + 14 + 2);
    EXPECT_EQ(SubtitleText(list).size(),
              std::string("1\r\n00:00:00,000 --> 00:00:01,001\r\n").size() + 15 * 32 + 14 * 2 + 4);
}

}  // namespace
}  // namespace vantrel
