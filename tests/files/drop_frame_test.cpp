// Drop-frame timecodes out, and the clock times of subtitles back to frames.
#include <gtest/gtest.h>

#include <utility>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/files_test_support.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "files/timecode.h"

namespace vantrel {
namespace {

TEST(DropFrameTimecode, RelabelsFramesAsTheReaderCountsThem) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "00:00:00;00"},     {1799, "00:00:59;29"},  {1800, "00:01:00;02"},
        {3597, "00:01:59;29"},  {3598, "00:02:00;02"},  {17981, "00:09:59;29"},
        {17982, "00:10:00;00"}, {19782, "00:11:00;02"}, {107892, "01:00:00;00"},
        {-4, "00:00:00;00"},
    };
    for (const auto& [frame, text] : cases) {
        EXPECT_EQ(FormatTimecode(frame, TimecodeStyle::DropFrame), text) << frame;
    }
    EXPECT_EQ(FormatTimecode(1800, TimecodeStyle::NonDropFrame), "00:01:00:00");
}

TEST(DropFrameTimecode, EveryFrameOfTenHoursReadsBackToItself) {
    constexpr int64_t kTenHours = 10 * 107892;
    for (int64_t frame = 0; frame <= kTenHours; ++frame) {
        const std::string line = FormatTimecode(frame, TimecodeStyle::DropFrame) + '\t';
        const std::optional<int64_t> back = ParseTimecodeLine(line);
        if (back != frame) FAIL() << frame << " written as " << line;
    }
}

TEST(SubtitleTimeToFrame, TheNearestFrameAtThirtyThousandOver1001) {
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},     {16, 0},  {17, 1},           {33, 1},
        {1001, 30}, {-50, 0}, {3600000, 107892}, {3599996, 107892},
    };
    for (const auto& [ms, frame] : cases) EXPECT_EQ(SubtitleTimeToFrame(ms), frame) << ms;
    // The inverse of frame x 1001 / 30 rounded, for every frame of ten hours.
    for (int64_t frame = 0; frame <= 10 * 107892; ++frame) {
        if (SubtitleTimeToFrame((frame * 1001 + 15) / 30) != frame) FAIL() << frame;
    }
}

// The writers label the same frames drop-frame, and the readers place them where they were.
TEST(DropFrameTimecode, WritersLabelTheSameFrames) {
    CaptionList captions;
    Caption* c = testing::NewCaption(17982, 107892);
    testing::PutText(*c, 14, 0, "HI");
    captions.Insert(c);
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
