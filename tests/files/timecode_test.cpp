// Timecodes: the timecode lines of the text formats read, frames written as timecodes
// (non-drop-frame and drop-frame) and as subtitle times at 30000/1001, and back.
#include "files/timecode.h"

#include <gtest/gtest.h>

#include <utility>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/files_test_support.h"
#include "files/scc.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

// Two digits to each field (three to the hours), minutes and seconds below 60, ':' or ';'
// before the frames, then the end of the line or one character and the data.
TEST(ParseTimecodeLine, StrictFieldsToFrames) {
    constexpr int64_t kNone = -1;
    const struct {
        const char* line;
        int64_t frame;
        const char* data = "";
        bool highFrameNumber = false;
    } cases[] = {
        {"00:00:01:00\t9420", 30, "9420"},
        {"01:00:00:00\t", 108000, ""},
        {"00:00:08;09\t", 249, ""},        // drop-frame as it is written
        {"00:00:01:00", 30, ""},           // no data
        {"00:00:00:01\t A", 1, " A"},      // the data starts right after the separator
        {"00:00:01:00 9420", 30, "9420"},  // any separator
        {"99:59:59:29\t", kMaxReadFrame, ""},
        {"100:00:00:00\t94", kMaxReadFrame + 1, "94"},
        {"100:06:00;11\t", kMaxReadFrame, ""},  // our drop-frame label of the last frame
        {"00:00:04:35\t", 155, "", true},
        {"00:00:01.00\t9420", kNone},
        {"00:05219:28\t942c", kNone},
        {"00:60:00:00\t", kNone},
        {"00:00:60:00\t", kNone},
        {"0:00:01:00\t", kNone},
        {"1000:00:00:00\t", kNone},
        {"-9:59:59:29\t", kNone},
        {"00:00: 1:00\t", kNone},
        {"00:00:01:000\t", kNone},
        {"00:00:01:00:00\t", kNone},
        {"00;00;01;00\t", kNone},
        {"", kNone},
    };
    for (const auto& c : cases) {
        const std::optional<TimecodeLine> read = ParseTimecodeLine(c.line);
        ASSERT_EQ(read.has_value(), c.frame != kNone) << c.line;
        if (!read) continue;
        EXPECT_EQ(read->frame, c.frame) << c.line;
        EXPECT_EQ(read->data, c.data) << c.line;
        EXPECT_EQ(read->highFrameNumber, c.highFrameNumber) << c.line;
    }
}

// Every timecode writer at 0, at the largest frame and past it; a frame below 0 (arithmetic gone
// wrong) is written as frame 0, never as a malformed timecode.
TEST(FormatTimecode, FromBelowZeroToPastTheLargestFrame) {
    const struct {
        int64_t frame;
        const char *timecode, *dropFrame, *subtitleTime;
    } cases[] = {
        {-5, "00:00:00:00", "00:00:00;00", "00:00:00,000"},
        {0, "00:00:00:00", "00:00:00;00", "00:00:00,000"},
        {14, "00:00:00:14", "00:00:00;14", "00:00:00,467"},
        {15, "00:00:00:15", "00:00:00;15", "00:00:00,501"},  // 500.5 ms up
        {29, "00:00:00:29", "00:00:00;29", "00:00:00,968"},
        {30, "00:00:01:00", "00:00:01;00", "00:00:01,001"},
        {1799, "00:00:59:29", "00:00:59;29", "00:01:00,027"},
        {1800, "00:01:00:00", "00:01:00;02", "00:01:00,060"},
        {3597, "00:01:59:27", "00:01:59;29", "00:02:00,020"},
        {3598, "00:01:59:28", "00:02:00;02", "00:02:00,053"},
        {17981, "00:09:59:11", "00:09:59;29", "00:09:59,966"},
        {17982, "00:09:59:12", "00:10:00;00", "00:09:59,999"},
        {19782, "00:10:59:12", "00:11:00;02", "00:11:00,059"},
        {107892, "00:59:56:12", "01:00:00;00", "00:59:59,996"},
        {108000, "01:00:00:00", "01:00:03;18", "01:00:03,600"},
        {3599999, "33:19:59:29", "33:22:00;03", "33:21:59,967"},
        {kMaxReadFrame, "99:59:59:29", "100:06:00;11", "100:05:59,967"},
        {kMaxReadFrame + 1, "100:00:00:00", "100:06:00;12", "100:06:00,000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatTimecode(c.frame), c.timecode) << c.frame;
        EXPECT_EQ(FormatTimecode(c.frame, TimecodeStyle::NonDropFrame), c.timecode) << c.frame;
        EXPECT_EQ(FormatTimecode(c.frame, TimecodeStyle::DropFrame), c.dropFrame) << c.frame;
        EXPECT_EQ(FormatSubtitleTime(c.frame), c.subtitleTime) << c.frame;
    }
}

TEST(DropFrameTimecode, EveryFrameOfTenHoursReadsBackToItself) {
    for (int64_t frame = 0; frame <= 10 * 107892; ++frame) {
        const std::string line = FormatTimecode(frame, TimecodeStyle::DropFrame) + '\t';
        const std::optional<TimecodeLine> read = ParseTimecodeLine(line);
        if (!read || read->frame != frame) FAIL() << frame << " written as " << line;
    }
}

TEST(SubtitleTimeToFrame, TheNearestFrameAtThirtyThousandOver1001) {
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},     {16, 0},  {17, 1},           {33, 1},
        {1001, 30}, {-50, 0}, {3600000, 107892}, {3599996, 107892},
    };
    for (const auto& [ms, frame] : cases) EXPECT_EQ(SubtitleTimeToFrame(ms), frame) << ms;
    // The inverse of the subtitle writer, for every frame of ten hours.
    for (int64_t frame = 0; frame <= 10 * 107892; ++frame) {
        if (SubtitleTimeToFrame((frame * 1001 + 15) / 30) != frame) FAIL() << frame;
    }
}

// The writers label the same frames drop-frame, and the readers place them where they were.
TEST(DropFrameTimecode, WritersLabelTheSameFrames) {
    CaptionList captions;
    testing::AddCaption(captions, 17982, 107892, "HI");
    const std::vector<uint8_t> stream = EncodeCaptions(captions).bytes;
    const std::string scc = FormatCaptionFile(stream, "scc", TimecodeStyle::DropFrame);
    const std::string ccd = FormatCaptionFile(stream, "CCD", TimecodeStyle::DropFrame);
    EXPECT_NE(scc.find("\r\n00:09:59;26\t9420 94AE 9470 C849 942F\r\n"), std::string::npos) << scc;
    EXPECT_NE(scc.find("\r\n01:00:00;00\t942C\r\n"), std::string::npos) << scc;
    EXPECT_NE(ccd.find("\n01:00:00;00\t{EDM}\r\n"), std::string::npos) << ccd;
    EXPECT_EQ(TimingReportText(captions, TimecodeStyle::DropFrame),
              "00:10:00;00 - 01:00:00;00\tHI\r\n");
    for (const CaptionFileData& data :
         {ReadSccText(testing::Bytes(scc)), ReadCcdText(testing::Bytes(ccd))}) {
        CaptionList back;
        DecodePairStream(back, data.pairs);
        EXPECT_TRUE(testing::SameCaptions(captions, back));
    }
}

}  // namespace
}  // namespace vantrel
