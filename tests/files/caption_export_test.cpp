// Exporting captions: the encoder's stream laid out as raw pairs, Scenarist text and
// disassembly text, cut into lines at null pairs, after End Of Caption and after 256 pairs; what
// is said of captions left out; and every writer's failure.
#include "files/caption_export.h"

#include <gtest/gtest.h>

#include <functional>

#include "files/ccd.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

using testing::AfterNullPairs;
using testing::Bytes;
using testing::ReadFileText;

const std::string kSccHead = "Scenarist_SCC V1.0\r\n";
const std::string kCcdHead = "SCC_disassembly V1.2\r\nCHANNEL 1\r\n\r\n";

std::string Repeat(const std::string& text, int count) {
    std::string out;
    for (int k = 0; k < count; ++k) out += text;
    return out;
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
}

struct ExportFixture : testing::ProjectTest {
    // HI at row 15, column 0, shown on frames 30 to 89.
    void AddHi() { testing::AddCaption(project.captions, 30, 90, "HI"); }
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

TEST_F(ExportFixture, CaptionsLeftOutAreNamed) {
    AddHi();
    // Too soon after the first caption to be loaded in time.
    testing::AddCaption(project.captions, 31, 90, "NO");
    testing::AddCaption(project.captions, 32, 95, "NO");
    const ExportResult r = ExportCaptionFile(project, dir.File("l.scc"), "scc");
    EXPECT_EQ(r.write, WriteResult::Written);
    EXPECT_EQ(r.leftOut, 2u);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"2 captions could not be encoded in time and were left "
                                       "out. They start at 00:00:01:01 and 00:00:01:02."});
    // The captions that fit are written.
    EXPECT_NE(ReadFileText(dir.File("l.scc")).find("C849 942F"), std::string::npos);

    std::vector<Caption> captions(13);
    std::vector<const Caption*> leftOut;
    for (size_t k = 0; k < captions.size(); ++k) {
        captions[k].startFrame = static_cast<int32_t>(30 * k);
        leftOut.push_back(&captions[k]);
    }
    EXPECT_EQ(LeftOutCaptionsText({}), "");
    const std::string many = LeftOutCaptionsText(leftOut);
    EXPECT_EQ(many.rfind("13 captions could not be encoded", 0), 0u);
    EXPECT_NE(many.find("00:00:00:00, 00:00:01:00,"), std::string::npos);
    EXPECT_NE(many.find("00:00:09:00 and 3 more."), std::string::npos);
}

// A write into a missing folder, or onto a folder, fails with one message naming the file,
// keeps the modified flag, and leaves no file behind.
TEST_F(ExportFixture, EveryWriterReportsAFailureAndLeavesNothingBehind) {
    AddHi();
    for (const std::string& path : {dir.File("no-folder/out"), dir.Path()}) {
        const std::pair<const char*, std::function<WriteResult()>> writers[] = {
            {"project", [&] { return SaveProject(project, path); }},
            {"scc", [&] { return ExportCaptionFile(project, path, "scc").write; }},
            {"raw", [&] { return ExportCaptionFile(project, path, "bin").write; }},
            {"subtitles", [&] { return WriteSubtitles(project, path); }},
            {"report", [&] { return WriteTimingReport(project, path); }},
        };
        for (const auto& [what, write] : writers) {
            host.messages.clear();
            project.modified = true;
            EXPECT_EQ(write(), WriteResult::Failed) << what;
            EXPECT_TRUE(project.modified) << what;
            ASSERT_EQ(host.messages.size(), 1u) << what;
            EXPECT_EQ(host.messages[0].rfind("Error saving file " + path, 0), 0u) << what;
        }
    }
    EXPECT_TRUE(dir.Names().empty());
}

}  // namespace
}  // namespace vantrel
