// The caption-file readers (.scc, .ccd, raw pairs): file bytes to a pair stream in which pair k
// is frame k; the .ccd notation's tables that the reader and the writer share; and timecodes:
// the timecode lines of the text formats read, frames written as timecodes (non-drop-frame and
// drop-frame) and as subtitle times at 30000/1001, and back.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/ccd_tables.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/raw_pairs.h"
#include "files/scc.h"
#include "files/subtitles.h"
#include "files/timecode.h"

namespace vantrel {
namespace {

using namespace testing;

TEST(CaptionFileReaders, BytesToPairs) {
    const std::string scc = "Scenarist_SCC V1.0\n";
    const std::string ccdHead = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";
    const std::string ccd = ccdHead + "00:00:00:00\t";
    const struct {
        const char* what;
        const char* format;
        std::string text;
        bool recognized;
        std::vector<uint8_t> pairs;
    } cases[] = {
        {"bit 7 whatever the parity", "scc", scc + "\r\n00:00:00:00\t1420 4849 0000\r\n", true,
         Bytes("\x94\xA0\xC8\xC9\x80\x80")},
        {"drop-frame arithmetic", "scc", scc + "00:00:08;09\t942f\n", true,
         AfterNullPairs(249, "\x94\xAF")},
        // Groups are two characters read as far as their digits go; one without a leading
        // digit is skipped; a digit at the end of the line is a byte by itself.
        {"short groups", "scc", scc + "00:00:00:00\t94 2 c1x942x zz 5", true,
         Bytes("\x94\x82\xC1\xC2\x85\x80")},
        {"an odd line is completed", "scc", scc + "00:00:00:00\t94 20 c1\n00:00:00:03\t942f\n",
         true, Bytes("\x94\xA0\xC1\x80\x80\x80\x94\xAF")},
        {"byte-order mark", "scc", "\xEF\xBB\xBF" + scc + "00:00:00:00\t942f", true,
         Bytes("\x94\xAF")},
        {"header only", "scc", scc + "\r\n", true, {}},
        {"no header", "scc", "", false, {}},
        {"header cut", "scc", "Scenarist_SCC", false, {}},
        {"header on line 2", "scc", "\n" + scc + "00:00:00:00\t942f\n", false, {}},
        {"header in lower case", "scc", "scenarist_scc V1.0\n00:00:00:00\t942f\n", false, {}},
        // Ab{RCL}: A and b at frame 60, RCL at 61; A{RCL}: A and a null byte, then RCL.
        {"characters and a token", "ccd", ccdHead + "00:00:02:00\tAb{RCL}\r\n", true,
         AfterNullPairs(60, "\xC1\xE2\x94\xA0")},
        {"a token on a pair boundary", "ccd", ccdHead + "00:00:02:00\tA{RCL}\r\n", true,
         AfterNullPairs(60, "\xC1\x80\x94\xA0")},
        {"tokens", "ccd", ccd + "{01WhIU}{0100}{\xD4}{EOC}{EOC}", true,
         Bytes("\x91\xCF\x91\xD0\x92\xBA\x94\xAF\x94\xAF")},
        {"the transparent space", "ccd", ccd + "{\xA0}", true, Bytes("\x91\xB9")},
        // The name is 01WhIU; X and the closing brace are characters.
        {"names end after six characters", "ccd", ccd + "{01WhIUX}", true,
         Bytes("\x91\xCF\xD8\x80")},
        {"an unclosed token ends with the line", "ccd", ccd + "{EOC\r\n", true, Bytes("\x94\xAF")},
        // The notation's own characters: | the solid block, _ a null byte.
        {"characters through the text map", "ccd", ccd + "\xE1|_ \r\n", true,
         Bytes("\xAA\xFF\x80\xA0")},
        // Special characters as their pairs (reg 0x1130, 1/2 0x1132), in Windows-1252 or
        // UTF-8; the music note 0x1137.
        {"special characters", "ccd",
         ccd + "{RCL}{1500}A\xAE\xBD"
               "B{EOC}",
         true, Bytes("\x94\xA0\x94\xF0\xC1\x80\x91\xB0\x91\xB2\xC2\x80\x94\xAF")},
        {"special characters in UTF-8", "ccd",
         ccd + "{RCL}{1500}A\xC2\xAE\xC2\xBD"
               "B\xE2\x99\xAA{EOC}",
         true, Bytes("\x94\xA0\x94\xF0\xC1\x80\x91\xB0\x91\xB2\xC2\x80\x91\xB7\x94\xAF")},
        // The data starts at character 12 exactly: a blank there is a character.
        {"any channel line, nothing stripped", "ccd",
         "SCC_disassembly V1.2\nCHANNEL 3\n00:00:00:01\t A\n", true, Bytes("\x80\x80\xA0\xC1")},
        {"header only", "ccd", "SCC_disassembly V1.2\nCHANNEL 1\n", true, {}},
        {"channel 2 in the header", "ccd", "SCC_disassembly V1.2\nCHANNEL 2\n00:00:00:00\tA{EOC}\n",
         true, Bytes("\xC1\x80\x9C\xAF")},
        {"no channel line", "ccd", "SCC_disassembly V1.2\n", false, {}},
        {"another header", "ccd", "Scenarist_SCC V1.0\nCHANNEL 1\n00:00:00:00\t{EOC}\n", false, {}},
        {"raw: header skipped, bit 7 set", "bin",
         std::string("\x12\x34\x56\x78\x14\x2F\x00\x41", 8), true, Bytes("\x94\xAF\x80\xC1")},
        {"raw: header only", "bin", "\xFF\xFF\xFF\xFF", true, {}},
        {"raw: shorter than the header", "bin", "\xFF\xFF\xFF", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.format) + ": " + c.what);
        const auto read = [f = std::string_view(c.format)](const std::string& text) {
            const std::vector<uint8_t> bytes = Bytes(text);
            return f == "scc"   ? ReadSccText(bytes)
                   : f == "ccd" ? ReadCcdText(bytes)
                                : ReadRawPairs(bytes);
        };
        const CaptionFileData d = read(c.text);
        EXPECT_EQ(d.recognized, c.recognized);
        EXPECT_EQ(d.pairs, c.pairs);
        if (c.format == std::string_view("bin") || c.text.starts_with("\xEF") ||
            std::string_view(c.what).ends_with("UTF-8")) {
            continue;
        }
        // Old Mac line ends (CR alone) and UTF-16 with a byte order mark read as the same text.
        std::string cr;
        for (size_t k = 0; k < c.text.size(); ++k) {
            if (c.text[k] != '\r' || c.text[k + 1] != '\n')
                cr += c.text[k] == '\n' ? '\r' : c.text[k];
        }
        for (const std::string& variant : {cr, Utf16(c.text, true), Utf16(cr, false)}) {
            const CaptionFileData v = read(variant);
            EXPECT_EQ(v.recognized, c.recognized) << variant;
            EXPECT_EQ(v.pairs, c.pairs) << variant;
            EXPECT_EQ(SkippedDataText("f", {}, v), SkippedDataText("f", {}, d)) << variant;
        }
    }
}

// Each kind of line left out or read by a guess is counted with its first line (the header
// lines count) and told in the import's one message; the lines after a bad one are read.
TEST(CaptionFileReaders, WhatIsLeftOutOrGuessedIsToldByKindCountAndFirstLine) {
    using Kind = LineTally CaptionFileData::*;
    using D = CaptionFileData;
    const Kind kinds[] = {&D::unreadableLines,  &D::linesOutOfOrder, &D::linesBeyondLimit,
                          &D::unknownTokens,    &D::nulBytes,        &D::oddWords,
                          &D::highFrameNumbers, &D::queuedLines,     &D::badParity};
    const std::string scc = "Scenarist_SCC V1.0\n";
    const std::string ccd = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n00:00:00:00\t";
    const struct {
        std::string text;  // .scc when it begins so, raw pairs from 0xFF, else .ccd
        Kind kind;         // the one kind counted, null for none
        size_t count, firstLine;
        std::vector<uint8_t> pairs;
        std::string message;  // begins the message's item
    } cases[] = {
        // Pairs with a byte of even parity are read, counted by pair; a pair without data
        // (0000, or a raw file's zero bytes) is no damage.
        {scc + "00:00:00:00\t9420 4141 0000\n00:00:00:03\tc180 c200 942f\n", &D::badParity, 2, 2,
         Bytes("\x94\xA0\xC1\xC1\x80\x80\xC1\x80\xC2\x80\x94\xAF"),
         "Read from f by guessing:\n2 pairs with bad parity, the first on line 2 at 00:00:00:01 ("},
        {std::string("\xFF\xFF\xFF\xFF\x94\x20\x14\x20\x00\x00", 10), &D::badParity, 1, 0,
         Bytes("\x94\xA0\x94\xA0\x80\x80"),
         "Read from f by guessing:\n1 pair with bad parity, the first at 00:00:00:01 ("},
        {scc + "00:05219:28\t942c\n00:00:00:01\t942f\njunk\n", &D::unreadableLines, 2, 2,
         AfterNullPairs(1, "\x94\xAF"), "\n2 unreadable lines, the first on line 2 ("},
        {scc + " \t\r\n\r\n\x0B\r00:00:00:01\t942f\n", nullptr, 0, 0, AfterNullPairs(1, "\x94\xAF"),
         ""},
        // Timecodes inside the pairs of the line before: the pairs are queued after them.
        {scc + "00:00:00:00\t9420 9420 9420\n00:00:00:02\t942f 942f\n00:00:00:03\t942c\n",
         &D::queuedLines, 2, 3, Bytes("\x94\xA0\x94\xA0\x94\xA0\x94\xAF\x94\xAF\x94\xAC"),
         "Read from f by guessing:\n2 lines whose timecodes fall inside the pairs before them, the "
         "first on line 3 at 00:00:00:02 ("},
        {scc + "00:00:00:05\t942c\n00:00:00:04\t942f\n", &D::linesOutOfOrder, 1, 3,
         AfterNullPairs(5, "\x94\xAC"),
         "\n1 line out of order, the first on line 3 at 00:00:00:04 ("},
        {scc + "100:00:00:00\t942c\n00:00:00:00\t942f\n999:59:59:29\t942c\n", &D::linesBeyondLimit,
         2, 2, Bytes("\x94\xAF"),
         "\n2 lines, the first on line 2 at 100:00:00:00 (timecodes past 99:59:59:29 are not "
         "read)"},
        {scc + "00:00:00:35\t942f\n", &D::highFrameNumbers, 1, 2, AfterNullPairs(35, "\x94\xAF"),
         "Read from f by guessing:\n1 timecode with a frame number of 30 or more, the first on "
         "line 2 at 00:00:01:05 ("},
        {scc + "00:00:00:00\t942 9420 94zz\n00:00:00:05\t942f\n", &D::oddWords, 2, 2,
         Bytes("\x94\x82\x94\xA0\x94\x80\x80\x80\x80\x80\x94\xAF"),
         "\n2 words that are not four hexadecimal digits, the first on line 2 ("},
        // {} is the null pair, no unknown token.
        {ccd + "{EOX}{EOC}\n00:00:00:02\t{}", &D::unknownTokens, 1, 4,
         Bytes("\x80\x80\x94\xAF\x80\x80"), "\n1 unknown token, the first on line 4 ("},
        // A channel line in mid-file switches the channel of the codes after it.
        {ccd + "{RCL}\nCHANNEL 2\n00:00:00:01\t{EOC}{reg}\nCHANNEL 1\n00:00:00:03\t{EOC}", nullptr,
         0, 0, Bytes("\x94\xA0\x9C\xAF\x99\xB0\x94\xAF"), ""},
        {ccd + std::string("HI\0{EOC}", 8), &D::nulBytes, 1, 4, Bytes("\xC8\xC9\x94\xAF"),
         "\n1 NUL byte, the first on line 4 ("},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const CaptionFileData d = c.text.starts_with(scc)      ? ReadSccText(Bytes(c.text))
                                  : c.text.starts_with("\xFF") ? ReadRawPairs(Bytes(c.text))
                                                               : ReadCcdText(Bytes(c.text));
        for (const Kind kind : kinds) {
            EXPECT_EQ((d.*kind).count, kind == c.kind ? c.count : 0);
            EXPECT_EQ((d.*kind).firstLine, kind == c.kind ? c.firstLine : 0);
        }
        EXPECT_EQ(d.pairs, c.pairs);
        const std::string message = SkippedDataText("f", {}, d);
        EXPECT_EQ(message.empty(), c.message.empty()) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
    }
}

// Characters without a 608 code are named, in UTF-16 and in UTF-8 without a byte order mark.
TEST(CaptionFileReaders, CharactersWithoutACodeAreNamed) {
    const std::string ccd = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n00:00:00:00\t";
    const struct {
        std::string text;
        size_t count;
        std::vector<uint8_t> pairs;
        std::string message;
    } cases[] = {
        {Utf16(ccd + "A", true) + "\x3A\x26" + Utf16("B", true).substr(2), 1,
         Bytes("\xC1\x80\xC2\x80"), "U+263A \xE2\x98\xBA; read as null bytes"},
        {ccd + "A\xE2\x98\xBA\xE2\x98\xBA\xE2\x82\xAC", 3, Bytes("\xC1\x80\x80\x80"),
         "U+263A \xE2\x98\xBA, U+20AC \xE2\x82\xAC; read as null bytes"},
    };
    for (const auto& c : cases) {
        const CaptionFileData d = ReadCcdText(Bytes(c.text));
        EXPECT_EQ(d.charactersWithoutCode.count, c.count);
        EXPECT_EQ(d.charactersWithoutCode.firstLine, 4u);
        EXPECT_EQ(d.pairs, c.pairs);
        const std::string message = SkippedDataText("f", {}, d);
        EXPECT_NE(message.find(" without a 608 code, the first on line 4 (" + c.message + ")"),
                  std::string::npos)
            << message;
    }
}

// The last frames a timecode line can name are read, in either style (the drop-frame labels
// have three digits of hours), and a caption there decodes; raw pairs past them are cut off.
TEST(CaptionFileReaders, ReadAsFarAsTheLastReadableFrame) {
    for (const char* first : {"99:59:59:25", "100:06:00;07"}) {
        const CaptionFileData d = ReadSccText(Bytes("Scenarist_SCC V1.0\n" + std::string(first) +
                                                    "\t9420 94ae 9470 c849 942f 8080 942c\n"));
        CaptionList list;
        DecodePairStream(list, d.pairs);
        ASSERT_EQ(list.Count(), 1) << first;
        EXPECT_EQ(list.Head()->startFrame, kMaxReadFrame) << first;
        EXPECT_EQ(list.Head()->endFrame, kMaxReadFrame + 2) << first;
    }
    const CaptionFileData raw =
        ReadRawPairs(std::vector<uint8_t>(kRawHeaderSize + MaxRawPairBytes() + 6, 0x80));
    EXPECT_TRUE(raw.truncated);
    EXPECT_EQ(raw.pairs.size(), MaxRawPairBytes());
}

// The token lookup is built from the names the writer uses: each must read back as its code,
// whatever byte it starts with.
TEST(CcdTables, EveryWrittenNameReadsBackAsItsCode) {
    int named = 0;
    for (int g = 0; g < 8; ++g) {
        for (int s = 0; s < 128; ++s) {
            const char* name = CcdControlNames[g][s].text;
            if (!*name) continue;
            ++named;
            const auto code = static_cast<uint16_t>((0x10 | g) << 8 | s);
            // The transparent space is no table entry; the reader knows it by itself.
            EXPECT_EQ(LookupMnemonic(name), code == kTransparentSpaceCode ? kUnknownMnemonic : code)
                << name;
        }
    }
    EXPECT_EQ(named, 612);
    for (const char* unknown : {"rcl", "RCL ", "", "1600"}) {
        EXPECT_EQ(LookupMnemonic(unknown), kUnknownMnemonic) << unknown;
    }
}

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
        {"00:00:01:00", 30, ""},           // no data
        {"00:00:00:01\t A", 1, " A"},      // the data starts right after the separator
        {"00:00:01:00 9420", 30, "9420"},  // any separator
        {"99:59:59:29\t", kMaxReadFrame, ""},
        {"100:06:00;11\t", kMaxReadFrame, ""},  // our drop-frame label of the last frame
        {"00:00:04:35\t", 155, "", true},
        {"00:00:01.00\t9420", kNone},
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

// A frame's picture at each rate is the one nearest its time (worked out with exact fractions:
// frame 107892 is 3599.9964 s, picture 86313.6 at 23.976, 86399.91 at 24, 89999.91 at 25).
TEST(PictureRates, FramesAreLabelledByTheNearestPicture) {
    const struct {
        const char* rate;
        int64_t frame;
        const char* timecode;
    } cases[] = {
        {"23.976", 300, "00:00:10:00"},    {"23.976", 302, "00:00:10:02"},
        {"23.976", 107892, "00:59:56:10"}, {"24", 301, "00:00:10:01"},
        {"24", 107892, "01:00:00:00"},     {"25", 302, "00:00:10:02"},
        {"25", 107892, "01:00:00:00"},     {"29.97", 107892, "00:59:56:12"},
        {"30", 300, "00:00:10:00"},        {"30", 107892, "01:00:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.rate) + " " + c.timecode);
        const PictureRate& rate = *PictureRateNamed(c.rate);
        EXPECT_EQ(FormatTimecode(c.frame, TimecodeStyle::NonDropFrame, rate), c.timecode);
    }
    EXPECT_EQ(PictureRateNamed("23.98"), nullptr);
    EXPECT_EQ(PictureRateNames(), "23.976, 24, 25, 29.97 or 30");  // as the help lists them
    // Every frame of an hour: its picture is within half a picture of it, the picture's first
    // frame is it or the one before, and a timecode of the rate reads back as that frame.
    for (const PictureRate& rate : kPictureRates) {
        SCOPED_TRACE(rate.name);
        for (int64_t frame = 0; frame <= 107892; ++frame) {
            const int64_t picture = PictureOfFrame(frame, rate);
            const double apart =
                double(picture) * rate.denominator / rate.numerator - double(frame) * kFrameSeconds;
            const int64_t first = FrameOfPicture(picture, rate);
            const auto read =
                ParseTimecodeLine(FormatTimecode(frame, TimecodeStyle::NonDropFrame, rate), rate);
            // (a frame exactly between two pictures, as 16875 at 24, is half a picture from either)
            if (std::abs(apart) > 0.5 * rate.denominator / rate.numerator + 1e-9 || first > frame ||
                first < frame - 1 || !read || read->frame != first) {
                FAIL() << frame << " at picture " << picture << ", read at " << first;
            }
        }
    }
}

TEST(SubtitleTimeToFrame, TheNearestFrameAtThirtyThousandOver1001) {
    const std::pair<int64_t, int64_t> cases[] = {
        {0, 0},     {16, 0},  {17, 1},           {33, 1},
        {1001, 30}, {-50, 0}, {3600000, 107892}, {3599996, 107892},
    };
    for (const auto& [ms, frame] : cases) EXPECT_EQ(SubtitleTimeToFrame(ms), frame) << ms;
}

// Every frame of ten hours reads back to itself from its drop-frame timecode, and from its
// subtitle time (the inverse of the subtitle writer).
TEST(DropFrameTimecode, EveryFrameOfTenHoursReadsBackToItself) {
    for (int64_t frame = 0; frame <= 10 * 107892; ++frame) {
        const std::string line = FormatTimecode(frame, TimecodeStyle::DropFrame) + '\t';
        const std::optional<TimecodeLine> read = ParseTimecodeLine(line);
        if (!read || read->frame != frame) FAIL() << frame << " written as " << line;
        if (SubtitleTimeToFrame((frame * 1001 + 15) / 30) != frame) FAIL() << frame;
    }
}

// The writers label frames drop-frame (the readers place such labels as the table above shows).
TEST(DropFrameTimecode, WritersLabelTheSameFrames) {
    CaptionList captions;
    AddCaption(captions, 17982, 107892, "HI");
    const std::vector<uint8_t> stream = EncodeCaptions(captions).bytes;
    const std::string scc = FormatCaptionFile(stream, "scc", TimecodeStyle::DropFrame);
    const std::string ccd = FormatCaptionFile(stream, "CCD", TimecodeStyle::DropFrame);
    EXPECT_NE(scc.find("\r\n00:09:59;26\t9420 94AE 9470 C849 942F\r\n"), std::string::npos) << scc;
    EXPECT_NE(scc.find("\r\n01:00:00;00\t942C\r\n"), std::string::npos) << scc;
    EXPECT_NE(ccd.find("\n01:00:00;00\t{EDM}\r\n"), std::string::npos) << ccd;
    EXPECT_EQ(TimingReportText(captions, TimecodeStyle::DropFrame),
              "00:10:00;00 - 01:00:00;00\tHI\r\n");
}

}  // namespace
}  // namespace vantrel
