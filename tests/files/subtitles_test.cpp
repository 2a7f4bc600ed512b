// SubRip subtitles and the timing report: real times of frames at 30000/1001 per second, the
// caption's rows as UTF-8 text.
#include "files/subtitles.h"

#include <gtest/gtest.h>

#include "files/files_test_support.h"

namespace vantrel {
namespace {

using testing::NewCaption;
using testing::PutText;

TEST(Subtitles, OneBlockPerCaptionNumberedFromOneAsSubRipCounts) {
    CaptionList list;
    Caption* c = NewCaption(14, 50);
    PutText(*c, 13, 0, "HELLO");
    PutText(*c, 14, 0, "WORLD");
    list.Insert(c);
    EXPECT_EQ(SubtitleText(list), "1\r\n00:00:00,467 --> 00:00:01,668\r\nhello\r\nworld\r\n\r\n");
    EXPECT_EQ(TimingReportText(list), "00:00:00:14 - 00:00:01:20\tHELLO WORLD\r\n");

    Caption* d = NewCaption(108000, 108029);
    list.Insert(d);  // an empty screen still gets its block and its line
    EXPECT_EQ(SubtitleText(list),
              "1\r\n00:00:00,467 --> 00:00:01,668\r\nhello\r\nworld\r\n\r\n"
              "2\r\n01:00:03,600 --> 01:00:04,568\r\n\r\n\r\n");
    EXPECT_EQ(TimingReportText(list),
              "00:00:00:14 - 00:00:01:20\tHELLO WORLD\r\n"
              "01:00:00:00 - 01:00:00:29\t\r\n");
}

TEST(Subtitles, NothingForNoCaptions) {
    CaptionList list;
    EXPECT_EQ(SubtitleText(list), "");
    EXPECT_EQ(TimingReportText(list), "");
}

TEST(Subtitles, CaptionCharactersBecomeUtf8NoteIncludedCodeCellAsSpace) {
    CaptionList list;
    Caption* c = NewCaption(0, 30);
    // É, the music note, a colour code cell, ñ, the 608 block and a null byte.
    const uint8_t row[] = {0xC9, 0x20, 0x90, 0x1C, 0xF1, 0x7F, 0x80, 'A'};
    for (int k = 0; k < 8; ++k) c->cells[14][k] = {row[k], kDefaultAttribute};
    list.Insert(c);
    // Lower case in subtitles; the code cell reads as a space, the null byte shows nothing.
    EXPECT_EQ(SubtitleText(list),
              "1\r\n00:00:00,000 --> 00:00:01,001\r\n\xC3\xA9 \xE2\x99\xAA \xC3\xB1\xE2\x96\x88"
              "a\r\n\r\n");
    EXPECT_EQ(TimingReportText(list),
              "00:00:00:00 - 00:00:01:00\t\xC3\x89 \xE2\x99\xAA \xC3\xB1\xE2\x96\x88"
              "A\r\n");
}

TEST(Subtitles, AFullScreenFitsWhole) {
    CaptionList list;
    Caption* c = NewCaption(0, 30);
    for (int r = 0; r < kScreenRows; ++r) {
        for (int col = 0; col < kScreenColumns; ++col) c->cells[r][col] = {'X', kDefaultAttribute};
    }
    list.Insert(c);
    // 15 rows of 32 letters: joined by spaces, or by CR LF, they stay within 512 bytes.
    const std::string report = TimingReportText(list);
    EXPECT_EQ(report.size() - report.find('\t') - 1 - 2, 15u * 32 + 14);
    const std::string srt = SubtitleText(list);
    EXPECT_EQ(srt.size(),
              std::string("1\r\n00:00:00,000 --> 00:00:01,001\r\n").size() + 15 * 32 + 14 * 2 + 4);
    EXPECT_EQ(srt.find('X'), std::string::npos);  // lower case
}

TEST(Subtitles, WrittenAsFiles) {
    testing::TempDir dir;
    testing::RecordingHost host;
    CaptionProject project;
    project.host = &host;
    Caption* c = NewCaption(14, 50);
    PutText(*c, 14, 0, "HI");
    project.captions.Insert(c);
    EXPECT_EQ(WriteSubtitles(project, dir.File("a.srt")), WriteResult::Written);
    EXPECT_EQ(testing::ReadFileText(dir.File("a.srt")), SubtitleText(project.captions));
    EXPECT_EQ(WriteTimingReport(project, dir.File("a.txt")), WriteResult::Written);
    EXPECT_EQ(testing::ReadFileText(dir.File("a.txt")), TimingReportText(project.captions));
    EXPECT_EQ(WriteTimingReport(project, dir.Path()), WriteResult::Failed);  // a folder
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("Error saving file " + dir.Path(), 0), 0u);
}

}  // namespace
}  // namespace vantrel
