// Importing caption files into a project: the choice of reader by extension, what the project
// and the user see when a file can't be read or holds nothing; and a raised cancel flag, which
// stops every long loop of reading, decoding, encoding and writing at its first look, leaving
// the project and the folder as they were. Damaged and random input is the fuzz targets' (fuzz/),
// whose corpora run among the tests.
#include "files/caption_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/ccd.h"
#include "files/file.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "files/subtitle_import.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

using Flag = const std::atomic<int>*;
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
    // A stream goes to its reader with the open file; with none, nothing happens.
    WriteFileText(dir.File("v.m2v"), "stream");
    MakeCurrentProject(false);
    EXPECT_EQ(ImportCaptionFile(project, dir.File("v.m2v"), "m2v"), ImportResult::Mpeg2Stream);
    ExpectCurrentProjectKept();
    std::string seen;
    ImportHooks hooks;
    hooks.readMpeg2 = [&](CaptionProject& p, File& file, CaptionList& into, const DecodeOptions&) {
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
                          [&](CaptionProject&, File&, CaptionList& into, const DecodeOptions&) {
                              AddCaption(into, 5, 10);  // then cancelled
                              into.Clear();
                              return false;
                          },
                          {},
                          {}};
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

TEST(Cancel, EveryLongLoopStopsOnARaisedFlag) {
    CaptionList list;
    AddCaption(list, 30, 90, "HELLO");
    const std::vector<uint8_t> stream = EncodeCaptions(list).bytes;
    const std::vector<uint8_t> scc = Bytes(FormatSccText(stream));
    const std::vector<uint8_t> ccd = Bytes(FormatCcdText(stream));
    const std::string srt = "1\n00:00:01,000 --> 00:00:02,000\nHi\n";
    constexpr auto kStyle = TimecodeStyle::NonDropFrame;
    // How much each operation makes of the same input, with and without the flag.
    const std::vector<std::pair<const char*, std::function<size_t(Flag)>>> operations = {
        {"scc reader", [&](Flag f) { return ReadSccText(scc, f).pairs.size(); }},
        {"ccd reader", [&](Flag f) { return ReadCcdText(ccd, f).pairs.size(); }},
        {"subtitle reader", [&](Flag f) { return ReadSubRip(srt, f).cues.size(); }},
        {"decoder",
         [&](Flag f) {
             CaptionList read;
             DecodePairStream(read, ReadSccText(scc).pairs, f);
             return size_t(read.Count());
         }},
        {"subtitle captions",
         [&](Flag f) {
             CaptionList made;
             MakeSubtitleCaptions(ReadSubRip(srt), made, f);
             return size_t(made.Count());
         }},
        {"encoder", [&](Flag f) { return EncodeCaptions(list, f).bytes.size(); }},
        {"scc writer",
         [&](Flag f) { return FormatSccText(stream, kStyle, f).size() - kSccFileHeader.size(); }},
        {"ccd writer",
         [&](Flag f) { return FormatCcdText(stream, kStyle, f).size() - kCcdFileHeader.size(); }},
        {"subtitle writer", [&](Flag f) { return SubtitleText(list, true, f).size(); }},
        {"timing report", [&](Flag f) { return TimingReportText(list, kStyle, f).size(); }},
    };
    const std::atomic<int> raised{1};
    for (const auto& [name, run] : operations) {
        EXPECT_GT(run(nullptr), 0u) << name;
        EXPECT_EQ(run(&raised), 0u) << name;
    }
}

TEST_F(ImportFixture, AStoppedReadOrWriteChangesNothingAndSaysNothing) {
    AddCaption(project.captions, 30, 90, "HELLO");
    ASSERT_EQ(SaveProject(project, dir.File("p.ccp")), WriteResult::Written);
    ASSERT_EQ(ExportCaptionFile(project, dir.File("p.scc"), "scc").write, WriteResult::Written);
    ASSERT_EQ(WriteSubtitles(project, dir.File("p.srt")), WriteResult::Written);
    const std::vector<std::string> before = dir.Names();
    const Caption* old = project.captions.Head();

    project.cancel = 1;
    EXPECT_EQ(LoadProject(project, dir.File("p.ccp")), LoadResult::Cancelled);
    // A subtitle file that never ends is read no further than the flag.
    std::filesystem::create_symlink("/dev/zero", dir.File("zero.srt"));
    for (const char* name : {"p.scc", "p.srt", "zero.srt"}) {
        EXPECT_EQ(ImportCaptionFile(project, dir.File(name), ExtensionOf(name)),
                  ImportResult::Cancelled)
            << name;
    }
    EXPECT_EQ(ExportCaptionFile(project, dir.File("o.scc"), "scc").write, WriteResult::Cancelled);
    EXPECT_EQ(WriteSubtitles(project, dir.File("o.srt")), WriteResult::Cancelled);
    EXPECT_EQ(WriteTimingReport(project, dir.File("o.txt")), WriteResult::Cancelled);
    EXPECT_EQ(SaveProject(project, dir.File("p.ccp")), WriteResult::Cancelled);
    std::filesystem::remove(dir.File("zero.srt"));
    EXPECT_EQ(dir.Names(), before);
    EXPECT_EQ(project.captions.Head(), old);
    EXPECT_EQ(project.captions.Count(), 1);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace vantrel
