// MacCaption files: the packet we write for a frame, byte for byte, and the reader over the
// forms other writers use (letters or not, either checksum, colon labels in a 30DF file), the
// field-2 pairs handed over beside field 1, and what it refuses or leaves out.
#include "files/mcc.h"

#include <gtest/gtest.h>

#include "files/file_messages.h"
#include "files/files_test_support.h"

namespace vantrel {
namespace {

using namespace testing;

const std::string kHead = "File Format=MacCaption_MCC V1.0\r\n// a comment\r\nUUID=1\r\n";
// Frame 0 with the pair 94 2F, worked out by hand: 20 entries, the CDP sum 0, the last byte
// the sum of the packet's bytes.
const std::string kPacket = "T49S494F43ZZ72F4FC942FROO74ZZFCAB";

// More packets worked out the same way, without the letters: 61 01, the CDP's length, the CDP
// (96 69, its length, 4F 43, counter 0, 72, E0 plus the entry count, the entries, 74 00 00 and a
// byte that brings its sum to 0) and the sum of the packet's bytes.
const std::string kTwoFields = "6101139669134F43000072E2FC942FFD8080740000D875";  // FC942F FD8080
const std::string kNegated = "6101109669104F43000072E1FC942F740000D98E";  // FC942F, the sum negated
const std::string kSixEntries =  // FC9420 FD1520 FE0102 FA0000 F91111 FC942F
    "61011F96691F4F43000072E6FC9420FD1520FE0102FA0000F91111FC942F740000CD81";
const std::string kRcl = "6101109669104F43000072E1FC9420740000E872";  // FC9420
const std::string kEoc = "6101109669104F43000072E1FC942F740000D972";  // FC942F

TEST(MccFile, WritesOnePacketPerFrame) {
    const std::string text = FormatMccText(Bytes("\x80\x80\x94\x2F"));
    EXPECT_TRUE(text.starts_with("File Format=MacCaption_MCC V1.0\r\n"));
    EXPECT_NE(text.find("\r\nTime Code Rate=30\r\n\r\n00:00:00:00\tT49S494F43ZZ72F4QROO74ZZ"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("\r\n00:00:00:01\tT49S494F43Z0172F4FC942FROO74Z01FAAB\r\n"));
    EXPECT_NE(FormatMccText(Bytes("\x80\x80"), TimecodeStyle::DropFrame)
                  .find("30DF\r\n\r\n00:00:00;00\t"),
              std::string::npos);
    // At 23.976 picture 2 (83.4 ms) carries frames 2 and 3 (66.7 and 100.1 ms): a packet of
    // frame rate code 1 and 25 entries, worked out by hand.
    const std::string film = FormatMccText(AfterNullPairs(2, "\x94\x20\x94\x2F"), {}, nullptr,
                                           *PictureRateNamed("23.976"));
    EXPECT_NE(film.find("Time Code Rate=24\r\n\r\n00:00:00:00\t"), std::string::npos);
    EXPECT_TRUE(film.ends_with("\r\n00:00:00:02\tT58S581F43Z0272F9FC9420RFC942FROOI74Z0279BA\r\n"));
}

TEST(MccFile, Reads) {
    const struct {
        const char* what;
        std::string text;
        std::vector<uint8_t> pairs, field2;
        size_t unreadable = 0, badChecksums = 0;
        std::string rate = "";
    } cases[] = {
        {"letters", kHead + "00:00:00:00\t" + kPacket + "\r\n", Bytes("\x94\xAF"),
         Bytes("\x80\x80")},
        {"hexadecimal alone", kHead + "00:00:00:01\t" + kTwoFields + "\n",
         AfterNullPairs(1, "\x94\xAF"), AfterNullPairs(1, "\x80\x80")},
        {"the negated checksum", kHead + "00:00:00:00\t" + kNegated, Bytes("\x94\xAF"), {}},
        {"a bad checksum",
         kHead +
             "00:00:00:00\tT49S494F43ZZ72F4FC942FROO74ZZFDAB\n"
             "00:00:00:02\t" +
             kPacket,
         AfterNullPairs(2, "\x94\xAF"), AfterNullPairs(2, "\x80\x80"), 0, 1},
        {"two pairs of each field, 708 and not valid entries passed over",
         kHead + "00:00:00:05\t" + kSixEntries, AfterNullPairs(5, "\x94\xA0\x94\xAF"),
         AfterNullPairs(5, "\x95\xA0")},
        {"one timecode twice goes on",
         kHead + "00:00:00:00\t" + kRcl + "\n00:00:00:00\t" + kEoc,
         Bytes("\x94\xA0\x94\xAF"),
         {}},
        {"30DF with colons",
         kHead + "Time Code Rate=30DF\n00:01:00:02\t" + kEoc,
         AfterNullPairs(1800, "\x94\xAF"),
         {}},
        // Drop-frame counts: ten minutes are 17982 frames, an hour 107892.
        {"30DF with colons at ten minutes", kHead + "Time Code Rate=30DF\n00:10:00:00\t" + kPacket,
         AfterNullPairs(17982, "\x94\xAF"), AfterNullPairs(17982, "\x80\x80")},
        {"30DF with colons at eleven minutes",
         kHead + "Time Code Rate=30DF\n00:11:00:02\t" + kEoc,
         AfterNullPairs(19782, "\x94\xAF"),
         {}},
        {"30DF with colons at an hour",
         kHead + "Time Code Rate=30DF\n01:00:00:00\t" + kEoc,
         AfterNullPairs(107892, "\x94\xAF"),
         {}},
        {"30 with colons",
         kHead + "Time Code Rate=30\n00:01:00:02\t" + kEoc,
         AfterNullPairs(1802, "\x94\xAF"),
         {}},
        {"other ancillary data", kHead + "00:00:00:00\t6102038080800B\n", {}, {}},
        {"damaged", kHead + "00:00:00:00\tT49S49X\n00:00:00:00\tT04S0400\njunk\n", {}, {}, 3},
        {"another rate", kHead + "Time Code Rate=50\n00:00:00:00\t" + kPacket, {}, {}, 0, 0, "50"},
        // Picture 250 at 25 (10 s) carries frame 300 (10.010 s); picture 24 at 23.976 (the
        // packet names no 24-label rate) frame 30, both 1.001 s.
        {"25", kHead + "Time Code Rate=25\n00:00:10:00\t" + kPacket,
         AfterNullPairs(300, "\x94\xAF"), AfterNullPairs(300, "\x80\x80")},
        {"24", kHead + "Time Code Rate=24\n00:00:01:00\t" + kPacket,
         AfterNullPairs(30, "\x94\xAF"), AfterNullPairs(30, "\x80\x80")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CaptionFileData d = ReadMccText(Bytes(c.text));
        EXPECT_TRUE(d.recognized);
        EXPECT_EQ(d.pairs, c.pairs);
        EXPECT_EQ(d.field2Pairs, c.field2);
        EXPECT_EQ(d.unreadableLines.count, c.unreadable);
        EXPECT_EQ(d.badChecksums.count, c.badChecksums);
        EXPECT_EQ(d.unsupportedRate, c.rate);
        EXPECT_EQ(d.queuedLines.count, 0u);  // a packet on the timecode before goes on, unqueued
    }
    EXPECT_FALSE(ReadMccText(Bytes("File Format=MacCaption\n")).recognized);
    EXPECT_NE(SkippedDataText("f", {}, ReadMccText(Bytes(cases[3].text)))
                  .find("1 packet with a wrong checksum or length, the first on line 4 at "
                        "00:00:00:00"),
              std::string::npos);
}

}  // namespace
}  // namespace vantrel
