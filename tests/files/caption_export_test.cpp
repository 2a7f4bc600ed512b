// Exporting captions: the encoder's stream laid out as raw pairs, Scenarist text and
// disassembly text, cut into lines at null pairs, after End Of Caption and after 256 pairs.
#include "files/caption_export.h"

#include <gtest/gtest.h>

#include "files/ccd.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/scc.h"
#include "files/timecode_lines.h"

namespace vantrel {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::NullPairs;
using testing::ReadFileText;
using testing::RecordingHost;
using testing::TempDir;

const std::string kSccHead = "Scenarist_SCC V1.0\r\n";
const std::string kCcdHead = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";

TEST(CaptionTextWriters, OneCaptionOnOneLine) {
    const auto stream =
        Concat(NullPairs(30), Bytes({0x94, 0x20, 0x94, 0xAE, 0xC8, 0xE9, 0x94, 0x2F}));
    EXPECT_EQ(FormatSccText(Concat(stream, NullPairs(3))),
              kSccHead + "\r\n00:00:01:00\t9420 94AE C8E9 942F\r\n");
    EXPECT_EQ(FormatCcdText(stream), kCcdHead + "00:00:01:00\t{RCL}{ENM}Hi{EOC}\r\n");
}

TEST(CaptionTextWriters, ANewLineStartsAfterEndOfCaption) {
    const auto stream = Bytes({0x94, 0x20, 0xC8, 0x80, 0x94, 0x2F, 0x94, 0x2C, 0xC8, 0xE9});
    EXPECT_EQ(FormatSccText(stream),
              kSccHead + "\r\n00:00:00:00\t9420 C880 942F\r\n\r\n00:00:00:03\t942C C8E9\r\n");
    EXPECT_EQ(FormatCcdText(stream),
              kCcdHead + "00:00:00:00\t{RCL}H_{EOC}\r\n00:00:00:03\t{EDM}Hi\r\n");
}

TEST(CaptionTextWriters, LongRunsAreCutAfter256Pairs) {
    std::vector<uint8_t> stream;
    for (int k = 0; k < 300; ++k) stream.insert(stream.end(), {0xC1, 0xC2});
    const std::vector<PairLine> lines = SplitPairLines(stream);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].pairCount, 256u);
    EXPECT_EQ(lines[1].frame, 256);
    EXPECT_EQ(lines[1].pairCount, 44u);
    EXPECT_NE(FormatSccText(stream).find("\r\n\r\n00:00:08:16\tC1C2 C1C2"), std::string::npos);
}

TEST(CaptionTextWriters, TimecodesAreNotWrappedAtADay) {
    auto stream = Concat(NullPairs(3599999), Bytes({0x94, 0x2C}));
    EXPECT_EQ(FormatSccText(stream), kSccHead + "\r\n33:19:59:29\t942C\r\n");
    stream = Concat(NullPairs(108000), Bytes({0x94, 0x2C}));
    EXPECT_EQ(FormatCcdText(stream), kCcdHead + "01:00:00:00\t{EDM}\r\n");
}

TEST(CaptionTextWriters, ControlPairsAreNamedAndOthersSpelled) {
    // Transparent space, a preamble, the extended Ô, a character pair with a null byte.
    const auto stream = Bytes({0x91, 0xB9, 0x94, 0x70, 0x92, 0x3A, 0xC8, 0x80, 0x2A, 0x7F});
    EXPECT_EQ(FormatCcdText(stream), kCcdHead + "00:00:00:00\t{\xA0}{1500}{\xD4}H_\xE1|\r\n");
    // A pair that the table doesn't name is an empty pair of braces.
    EXPECT_EQ(FormatCcdText(Bytes({0x94, 0xA2})), kCcdHead + "00:00:00:00\t{}\r\n");
}

TEST(CaptionTextWriters, NothingToWriteButTheHeader) {
    EXPECT_EQ(FormatSccText(NullPairs(5)), kSccHead);
    EXPECT_EQ(FormatCcdText({}), kCcdHead);
}

struct ExportFixture : ::testing::Test {
    ExportFixture() { project.host = &host; }
    // HI at row 15, column 0, shown on frames 30 to 89.
    void AddHi() {
        auto* c = testing::NewCaption(30, 90);
        testing::PutText(*c, 14, 0, "HI");
        project.captions.Insert(c);
    }
    std::string Export(const std::string& name) {
        const ExportResult r =
            ExportCaptionFile(project, dir.File(name), testing::ExtensionPart(name));
        EXPECT_EQ(r.write, WriteResult::Written);
        return ReadFileText(dir.File(name));
    }
    TempDir dir;
    RecordingHost host;
    CaptionProject project;
};

TEST_F(ExportFixture, WritesEachFormat) {
    AddHi();
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

TEST_F(ExportFixture, NoCaptionsGiveEmptyFiles) {
    for (const char* name : {"e.bin", "e.scc", "e.ccd"}) EXPECT_EQ(Export(name), "") << name;
}

TEST_F(ExportFixture, CaptionsLeftOutAreNamed) {
    AddHi();
    // Starts too soon after the first caption to be loaded in time.
    auto* late = testing::NewCaption(31, 90);
    testing::PutText(*late, 14, 0, "NO");
    project.captions.Insert(late);
    auto* far = testing::NewCaption(32, 95);
    testing::PutText(*far, 14, 0, "NO");
    project.captions.Insert(far);
    const ExportResult r = ExportCaptionFile(project, dir.File("l.scc"), "scc");
    EXPECT_EQ(r.write, WriteResult::Written);
    EXPECT_EQ(r.leftOut, 2u);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "2 captions could not be encoded in time and were left out. They start at "
              "00:00:01:01 and 00:00:01:02.");
    // The captions that fit are written.
    EXPECT_NE(ReadFileText(dir.File("l.scc")).find("C849 942F"), std::string::npos);
}

TEST(LeftOutCaptionsText, CountsAndListsStarts) {
    std::vector<Caption> captions(13);
    std::vector<const Caption*> leftOut;
    EXPECT_EQ(LeftOutCaptionsText(leftOut), "");
    for (size_t k = 0; k < captions.size(); ++k) {
        captions[k].startFrame = static_cast<int32_t>(30 * k);
        leftOut.push_back(&captions[k]);
    }
    EXPECT_EQ(LeftOutCaptionsText({leftOut[1]}),
              "1 caption could not be encoded in time and was left out. It starts at 00:00:01:00.");
    const std::string many = LeftOutCaptionsText(leftOut);
    EXPECT_EQ(many.rfind("13 captions could not be encoded", 0), 0u);
    EXPECT_NE(many.find("00:00:00:00, 00:00:01:00,"), std::string::npos);
    EXPECT_NE(many.find("00:00:09:00 and 3 more."), std::string::npos);
}

TEST_F(ExportFixture, AFailedWriteIsReportedAndLeavesNothingBehind) {
    AddHi();
    const std::string path = dir.File("missing-folder/a.scc");
    const ExportResult r = ExportCaptionFile(project, path, "scc");
    EXPECT_EQ(r.write, WriteResult::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].rfind("Error saving file " + path, 0), 0u);
    EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
}  // namespace vantrel
