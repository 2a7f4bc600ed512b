// Timecode lines of the text formats, and frames written as timecodes and subtitle times.
#include "files/timecode.h"

#include <gtest/gtest.h>

#include <utility>

namespace vantrel {
namespace {

TEST(ParseTimecodeLine, NonDropFrameCountsThirtyFramesASecond) {
    EXPECT_EQ(ParseTimecodeLine("00:00:01:00\t9420"), 30);
    EXPECT_EQ(ParseTimecodeLine("00:01:00:00\t"), 1800);
    EXPECT_EQ(ParseTimecodeLine("01:00:00:00\t"), 108000);
    EXPECT_EQ(ParseTimecodeLine("00:00:08:09\t"), 249);
}

TEST(ParseTimecodeLine, DropFrameSkipsTwoNumbersAMinuteButEveryTenth) {
    EXPECT_EQ(ParseTimecodeLine("00:01:00;02\t"), 1800);
    EXPECT_EQ(ParseTimecodeLine("00:10:00;00\t"), 17982);
    EXPECT_EQ(ParseTimecodeLine("01:00:00;00\t"), 107892);
    EXPECT_EQ(ParseTimecodeLine("00:00:08;09\t"), 249);  // leading zeros are decimal
    EXPECT_EQ(ParseTimecodeLine("00:11:00;02\t"), 17982 + 1798 + 2);
}

TEST(ParseTimecodeLine, OnlyTimecodeLinesCount) {
    EXPECT_FALSE(ParseTimecodeLine("00:00:01:00"));        // 11 characters
    EXPECT_TRUE(ParseTimecodeLine("00:00:01:00\r"));       // the carriage return counts
    EXPECT_FALSE(ParseTimecodeLine("00:00:01.00\t9420"));  // character 8 decides the form
    EXPECT_FALSE(ParseTimecodeLine(""));
    EXPECT_FALSE(ParseTimecodeLine("Scenarist_SCC V1.0"));
}

TEST(ParseTimecodeLine, UnreadableFieldsCountAsZero) {
    EXPECT_EQ(ParseTimecodeLine("00:01:xx:05\t"), 1800);  // seconds and frames are 0
    EXPECT_EQ(ParseTimecodeLine("xx:01:00:05\t"), 0);
    EXPECT_EQ(ParseTimecodeLine("99:99:99:99\t"), ((99 * 60 + 99) * 60 + 99) * 30 + 99);
    const auto negative = ParseTimecodeLine("-9:59:59:29\t");
    ASSERT_TRUE(negative.has_value());
    EXPECT_LT(*negative, 0);
    // Any number of digits: the value is capped, never overflowing.
    const auto huge = ParseTimecodeLine("00:00:00:99999999999999999999999\t");
    ASSERT_TRUE(huge.has_value());
    EXPECT_GT(*huge, kMaxReadFrame);
    EXPECT_FALSE(ParseTimecodeLine("99999999999999999999999:00:00\t"));  // no ':' at column 8
}

// Every timecode writer at 0, at the largest frame and past it; a frame below 0 (arithmetic gone
// wrong) is written as frame 0, never as a malformed timecode.
TEST(FormatTimecode, FromBelowZeroToPastTheLargestFrame) {
    const std::pair<int64_t, const char*> cases[] = {
        {-5, "00:00:00:00"},
        {0, "00:00:00:00"},
        {29, "00:00:00:29"},
        {108000, "01:00:00:00"},
        {3599999, "33:19:59:29"},
        {kMaxReadFrame, "99:59:59:29"},
        {kMaxReadFrame + 1, "100:00:00:00"},
    };
    for (const auto& [frame, text] : cases) {
        EXPECT_EQ(FormatTimecode(frame), text) << frame;
        EXPECT_EQ(FormatTimecode(frame, TimecodeStyle::NonDropFrame), text) << frame;
    }
    // Drop-frame labels read back as the frames they were written for.
    for (int64_t frame : {0, 1800, 17982, 9999999}) {
        const std::string line = FormatTimecode(frame, TimecodeStyle::DropFrame) + "\t";
        EXPECT_EQ(ParseTimecodeLine(line), frame) << line;
    }
    EXPECT_EQ(FormatTimecode(-5, TimecodeStyle::DropFrame), "00:00:00;00");
}

TEST(FormatSubtitleTime, FramesBecomeRealTimeAtThirtyThousandOver1001) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "00:00:00,000"},
        {14, "00:00:00,467"},
        {15, "00:00:00,501"},  // 500.5 up
        {29, "00:00:00,968"},
        {30, "00:00:01,001"},
        {1798, "00:00:59,993"},
        {107892, "00:59:59,996"},
        {108000, "01:00:03,600"},
        {-5, "00:00:00,000"},
        {kMaxReadFrame, "100:05:59,967"},
        {kMaxReadFrame + 1, "100:06:00,000"},
    };
    for (const auto& [frame, text] : cases) EXPECT_EQ(FormatSubtitleTime(frame), text) << frame;
}

}  // namespace
}  // namespace vantrel
