// Importing caption files into a project: the raw reader, the choice of reader by extension,
// and what the project and the user see when a file can't be read or holds nothing.
#include "files/caption_import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "files/files_test_support.h"
#include "files/raw_pairs.h"

namespace vantrel {
namespace {

using testing::Bytes;
using testing::RecordingHost;
using testing::TempDir;
using testing::WriteFileText;

// A caption loading HI at row 15 and shown on frames 30 to 89, as 608 pairs with parity.
const std::string kHiPairs =
    "\x94\x20\x94\xAE\x94\x70\xC8\x49\x94\x2F" + std::string(2 * 59, '\x80') + "\x94\x2C";

struct ImportFixture : ::testing::Test {
    ImportFixture() { project.host = &host; }
    void AddOldCaption() {
        auto* c = testing::NewCaption(1000, 1100);
        testing::PutText(*c, 0, 0, "OLD");
        project.captions.Insert(c);
        project.modified = 0;
    }
    TempDir dir;
    RecordingHost host;
    CaptionProject project;
};

TEST(RawPairReader, SkipsTheHeaderAndSetsBitSeven) {
    const CaptionFileData d = ReadRawPairs(Bytes({0x12, 0x34, 0x56, 0x78, 0x14, 0x2F, 0x00, 0x41}));
    ASSERT_TRUE(d.recognized);
    EXPECT_EQ(d.pairs, Bytes({0x94, 0xAF, 0x80, 0xC1}));
}

TEST(RawPairReader, ShortFilesHoldNoPairs) {
    EXPECT_FALSE(ReadRawPairs(Bytes({0xFF, 0xFF, 0xFF})).recognized);
    const CaptionFileData header = ReadRawPairs(Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_TRUE(header.recognized);
    EXPECT_TRUE(header.pairs.empty());
}

TEST(RawPairReader, ReadsNoFurtherThanTheLastReadableFrame) {
    std::vector<uint8_t> file(kRawHeaderSize + MaxRawPairBytes() + 6, 0x80);
    const CaptionFileData d = ReadRawPairs(file);
    EXPECT_TRUE(d.truncated);
    EXPECT_EQ(d.pairs.size(), MaxRawPairBytes());
}

TEST_F(ImportFixture, RawFileDecodesIntoCaptions) {
    const std::string path = dir.File("hi.bin");
    WriteFileText(path, "\xFF\xFF\xFF\xFF" + std::string(2 * 26, '\x80') + kHiPairs);
    AddOldCaption();
    EXPECT_EQ(ImportCaptionFile(project, path, "bin"), ImportResult::Imported);
    ASSERT_EQ(project.captions.Count(), 1);
    const Caption* c = project.captions.Head();
    EXPECT_EQ(c->startFrame, 30);
    EXPECT_EQ(c->endFrame, 90);
    EXPECT_EQ(c->cells[14][0].character, 'H');
    EXPECT_EQ(c->cells[14][1].character, 'I');
    EXPECT_EQ(project.modified, 1);
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ImportFixture, TheExtensionAloneChoosesTheReaderInAnyCase) {
    const std::string scc =
        "Scenarist_SCC V1.0\r\n\r\n00:00:00:26\t9420 94ae 9470 c849 942f\r\n"
        "\r\n00:00:03:00\t942c\r\n";
    WriteFileText(dir.File("a.txt"), scc);
    EXPECT_EQ(ImportCaptionFile(project, dir.File("a.txt"), "SCC"), ImportResult::Imported);
    EXPECT_EQ(project.captions.Count(), 1);
    // The same text named .bin is read as raw pairs: no caption in it.
    EXPECT_EQ(ImportCaptionFile(project, dir.File("a.txt"), "Bin"), ImportResult::Imported);
    EXPECT_EQ(project.captions.Count(), 0);
    EXPECT_EQ(ImportCaptionFile(project, dir.File("a.txt"), "txt"), ImportResult::Other);
}

// Every way an import can fail leaves the project exactly as it was (the same captions, paths
// and modified flag, the windows never told to let go of their captions) and says why.
TEST_F(ImportFixture, AFailedImportLeavesTheProjectAsItWasAndSaysWhy) {
    const std::string big = dir.File("big.scc");
    WriteFileText(big, "Scenarist_SCC V1.0\r\n");
    std::filesystem::resize_file(big, kMaxTextFileBytes + 1);  // sparse: no real disk use
    WriteFileText(dir.File("v.m2v"), "stream");
    struct Case {
        std::string name, content, extension;
        ImportResult result;
        std::string message;  // the start of the one message, after the path; "" for none
    };
    const std::vector<Case> cases = {
        {"missing.scc", "", "scc", ImportResult::OpenFailed, "Error opening file "},
        {"wrong.scc", "SCC_disassembly V1.2\r\n", "scc", ImportResult::NotRecognized,
         "is not a Scenarist"},
        {"wrong.ccd", "Scenarist_SCC V1.0\r\n\r\n", "ccd", ImportResult::NotRecognized,
         "is not a caption disassembly"},
        {"short.bin", "\xFF\xFF", "bin", ImportResult::NotRecognized, "is not a raw"},
        {"empty.scc", "Scenarist_SCC V1.0\r\n\r\n", "scc", ImportResult::NoCaptions,
         "File does not contain closed captions"},
        {"big.scc", "", "scc", ImportResult::TooLarge, "is larger than 256 MiB"},
        {"v.m2v", "", "m2v", ImportResult::StreamFailed, ""},  // the reader said why itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        if (!c.content.empty()) WriteFileText(path, c.content);
        project.captions.Clear();
        AddOldCaption();
        const Caption* old = project.captions.Head();
        project.videoPath = "video.mpg";
        host.messages.clear();
        int cleared = 0;
        ImportHooks hooks{[&] { ++cleared; },
                          [&](CaptionProject&, File&, CaptionList& into) {
                              into.Insert(testing::NewCaption(5, 10));  // then cancelled
                              into.Clear();
                              return false;
                          }};
        EXPECT_EQ(ImportCaptionFile(project, path, c.extension, hooks), c.result);
        EXPECT_EQ(project.captions.Head(), old);
        EXPECT_EQ(project.captions.Count(), 1);
        EXPECT_EQ(project.modified, 0);
        EXPECT_EQ(project.videoPath, "video.mpg");
        EXPECT_EQ(cleared, 0);
        if (c.message.empty()) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].find(c.message), std::string::npos) << host.messages[0];
        }
    }
}

TEST_F(ImportFixture, LinesPastTheLastFrameAreReported) {
    WriteFileText(dir.File("far.scc"),
                  "Scenarist_SCC V1.0\n\n00:00:00:26\t9420 94ae 9470 c849 942f\n"
                  "00:00:03:00\t942c\n99:99:99:99\t9420\n");
    EXPECT_EQ(ImportCaptionFile(project, dir.File("far.scc"), "scc"), ImportResult::Imported);
    EXPECT_EQ(project.captions.Count(), 1);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find(dir.File("far.scc")), std::string::npos);
    EXPECT_NE(host.messages[0].find("99:59:59:29"), std::string::npos);
}

TEST_F(ImportFixture, StreamsGoToTheirReaderWithTheOpenFile) {
    WriteFileText(dir.File("v.m2v"), "stream");
    AddOldCaption();
    EXPECT_EQ(ImportCaptionFile(project, dir.File("v.m2v"), "m2v"), ImportResult::Mpeg2Stream);
    EXPECT_EQ(project.captions.Count(), 1);  // no reader: nothing happened

    std::string seen;
    ImportHooks hooks;
    hooks.readMpeg2 = [&](CaptionProject& p, File& file, CaptionList& into) {
        EXPECT_EQ(&p, &project);
        char buffer[16] = {};
        seen.assign(buffer, file.Read(buffer, sizeof buffer));
        into.Insert(testing::NewCaption(5, 10));
        return true;
    };
    EXPECT_EQ(ImportCaptionFile(project, dir.File("v.m2v"), "M2V", hooks), ImportResult::Imported);
    EXPECT_EQ(seen, "stream");
    ASSERT_EQ(project.captions.Count(), 1);
    EXPECT_EQ(project.captions.Head()->startFrame, 5) << "the stream's captions replace the old";
    EXPECT_EQ(project.modified, 1);
}

}  // namespace
}  // namespace vantrel
