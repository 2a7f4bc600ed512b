// MacCaption files: the packet we write for a frame, byte for byte, and the reader over the
// forms other writers use (letters or not, either checksum, colon labels in a 30DF file), the
// field-2 pairs handed over beside field 1, and what it refuses or leaves out.
#include "files/mcc.h"

#include <gtest/gtest.h>

#include "dtvcc/service_decoder.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
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
        // 72 E1 00 00 00 (one entry that holds nothing) written as U; the CDP sums to 0.
        {"the U abbreviation",
         kHead + "00:00:00:00\tT10S104F43ZZ72U74ZZ9872\n00:00:00:01\t" + kEoc,
         AfterNullPairs(1, "\x94\xAF"),
         {}},
        {"other ancillary data", kHead + "00:00:00:00\t6102038080800B\n", {}, {}},
        {"damaged", kHead + "00:00:00:00\tT49S49X\n00:00:00:00\tT04S0400\njunk\n", {}, {}, 3},
        {"another rate", kHead + "Time Code Rate=25\n00:00:00:00\t" + kPacket, {}, {}, 0, 0, "25"},
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

using Mcc708 = ProjectTest;

// The erase of "HI" (frames 30 to 90) worked by hand: EDM 94 2C in field 1; the caption
// channel packet of sequence 2, 4 bytes (82), a block of service 1, 2 bytes (22), DeleteWindows
// of window 0 (8C 01) in entries FF and FE, 16 entries not valid (O, M); the service
// information (73): start and complete, 2 services (D2); each a reserved bit and csn_size set,
// then a reserved bit and the 5-bit number: 608 (E0) and service 1 (E1), "eng", 608 field 1 (7E)
// and 708 service 1 (C1), easy reader and wide aspect off (3F FF); the CDP checksum 98.
const std::string kEraseLine =
    "\r\n00:00:03:00\tT59S594F77Z5A72F4FC942CRFF8222FE8C01OM73D2E0656E677E3FFFE1656E67C13FFF74Z5"
    "A98BB\r\n";

TEST_F(Mcc708, WritesTheCaptionsAs708Service1BesideThe608) {
    AddCaption(project.captions, 30, 90, "HI");
    const std::string path = dir.Path() + "/c.mcc";
    WriteOptions options;
    const CaptionFormat& mcc = *FormatNamed("mcc");
    ExportCaptionFile(project, path, mcc, options);
    const std::string text = ReadFileText(path);
    EXPECT_NE(text.find(kEraseLine), std::string::npos);

    // Read back by its 608 pairs and by its 708 service: the same captions.
    const CaptionFileData data = ReadMccText(Bytes(text));
    CaptionList by608, by708;
    DecodePairStream(by608, data.pairs);
    dtvcc::DecodeService(by708, dtvcc::PacketsOf(data.dtvcc), 1);
    EXPECT_TRUE(SameCaptions(by608, by708, true));
    EXPECT_TRUE(SameCaptions(project.captions, by708));
    ASSERT_EQ(ImportCaptionFile(project, path, "mcc"), ImportResult::Imported);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Imported from " + path +
                                    ":\nit holds 608 CC1; 708 service 1; CC1 was read "
                                    "(--channel and --service read another).");

    options.language = "spa";
    ExportCaptionFile(project, path, mcc, options);
    EXPECT_NE(ReadFileText(path).find("E1737061C1"), std::string::npos);
    options.write708 = false;
    ExportCaptionFile(project, path, mcc, options);
    EXPECT_EQ(ReadMccText(Bytes(ReadFileText(path))).dtvcc.size(), 0u);
    EXPECT_EQ(ReadFileText(path).find("73D2"), std::string::npos);
}

TEST_F(Mcc708, AFileWith708AndNo608ImportsItsCaptions) {
    // Frame 1: a 14-byte packet (07) of a 12-byte block (2C): DefineWindow 0 visible at the
    // caption area's corner, SetPenLocation row 14, column 0, "OK". Frame 40: DeleteWindows 0.
    const std::string path = dir.Path() + "/only708.mcc";
    WriteFileText(path, kHead + "00:00:00:01\t" +
                            "6101289669284F43000072E9FC8080FD8080FF072CFE9838FE8A0AFE0E1FFE0992FE0E"
                            "00FE4F4B740000858A" +
                            "\n00:00:01:10\t" +
                            "6101169669164F43000072E3FC8080FF4222FE8C01740000A678" + "\n");
    ASSERT_EQ(ImportCaptionFile(project, path, "mcc"), ImportResult::Imported);
    CaptionList want;
    AddCaption(want, 1, 40, "OK");
    EXPECT_TRUE(SameCaptions(want, project.captions));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Imported from " + path +
                                    "\nno 608 captions on channel 1: 1 caption was read from 708 "
                                    "service 1");
    ImportHooks service2;
    service2.decode.service = 2;
    ASSERT_EQ(ImportCaptionFile(project, path, "mcc", service2), ImportResult::Imported);
    EXPECT_TRUE(project.captions.Empty());
}

}  // namespace
}  // namespace vantrel
