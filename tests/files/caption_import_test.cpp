// Importing caption files into a project: the choice of reader by extension, and what the
// project and the user see when a file can't be read or holds nothing.
#include "files/caption_import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "files/file.h"
#include "files/files_test_support.h"

namespace vantrel {
namespace {

using namespace testing;

struct ImportFixture : ProjectTest {};

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
    // A device never ends: what is read of it is bounded all the same.
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.srt"));
    const struct {
        const char* name;
        const char* content;  // null: as it is
        ImportResult result;
        std::string message;  // found in the one message; "" for none
    } cases[] = {
        {"missing.scc", nullptr, ImportResult::OpenFailed, "Error opening file "},
        {"wrong.scc", "SCC_disassembly V1.2\r\n", ImportResult::NotRecognized,
         "is not a Scenarist"},
        {"wrong.ccd", "Scenarist_SCC V1.0\r\n\r\n", ImportResult::NotRecognized,
         "is not a caption disassembly"},
        {"empty.ccd", "", ImportResult::NotRecognized, "is not a caption disassembly"},
        {"short.bin", "\xFF\xFF", ImportResult::NotRecognized, "is not a raw"},
        {"empty.dat", "", ImportResult::NotRecognized, "is not a raw"},
        {"empty.scc", "Scenarist_SCC V1.0\r\n\r\n", ImportResult::NoCaptions,
         "File does not contain closed captions"},
        {"big.scc", nullptr, ImportResult::TooLarge, "is larger than 256 MiB"},
        {"zero.srt", nullptr, ImportResult::TooLarge, "is larger than 256 MiB"},
        {"wrong.vtt", "1\n00:00:10,000 --> 00:00:15,000\nno header\n", ImportResult::NotRecognized,
         "is not a WebVTT file (its first line must begin with \"WEBVTT\")"},
        {"tags.SRT", "1\n00:00:10,000 --> 00:00:15,000\n<i> </i>\n", ImportResult::NoCaptions,
         "contains no subtitle to show"},
        {"v.m2v", nullptr, ImportResult::StreamFailed, ""},  // the reader said why itself
    };
    MakeCurrentProject(false);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        if (c.content) WriteFileText(path, c.content);
        host.messages.clear();
        int cleared = 0;
        ImportHooks hooks{[&] { ++cleared; },
                          [&](CaptionProject&, File&, CaptionList& into) {
                              AddCaption(into, 5, 10);  // then cancelled
                              into.Clear();
                              return false;
                          }};
        EXPECT_EQ(ImportCaptionFile(project, path, ExtensionOf(path), hooks), c.result);
        ExpectCurrentProjectKept();
        EXPECT_EQ(cleared, 0);
        if (c.message.empty()) {
            EXPECT_TRUE(host.messages.empty());
        } else {
            ASSERT_EQ(host.messages.size(), 1u);
            EXPECT_NE(host.messages[0].find(c.message), std::string::npos) << host.messages[0];
        }
    }
}

TEST_F(ImportFixture, StreamsGoToTheirReaderWithTheOpenFile) {
    WriteFileText(dir.File("v.m2v"), "stream");
    MakeCurrentProject(false);
    EXPECT_EQ(ImportCaptionFile(project, dir.File("v.m2v"), "m2v"), ImportResult::Mpeg2Stream);
    ExpectCurrentProjectKept();  // no reader: nothing happened

    std::string seen;
    ImportHooks hooks;
    hooks.readMpeg2 = [&](CaptionProject& p, File& file, CaptionList& into) {
        EXPECT_EQ(&p, &project);
        char buffer[16] = {};
        seen.assign(buffer, file.Read(buffer, sizeof buffer));
        AddCaption(into, 5, 10);
        return true;
    };
    EXPECT_EQ(ImportCaptionFile(project, dir.File("v.m2v"), "M2V", hooks), ImportResult::Imported);
    EXPECT_EQ(seen, "stream");
    ASSERT_EQ(project.captions.Count(), 1);
    EXPECT_EQ(project.captions.Head()->startFrame, 5) << "the stream's captions replace the old";
    EXPECT_TRUE(project.modified);
}

}  // namespace
}  // namespace vantrel
