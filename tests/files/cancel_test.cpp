// A raised cancel flag stops every long loop of reading, decoding, encoding and writing at its
// first look, and a stopped operation leaves the project and the folder as they were.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "codec/decoder.h"
#include "codec/encoder.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/ccd.h"
#include "files/files_test_support.h"
#include "files/project_file.h"
#include "files/scc.h"
#include "files/subtitle_import.h"
#include "files/subtitles.h"

namespace vantrel {
namespace {

using namespace testing;

using Flag = const std::atomic<int>*;

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
        {"subtitle writer", [&](Flag f) { return SubtitleText(list, f).size(); }},
        {"timing report", [&](Flag f) { return TimingReportText(list, kStyle, f).size(); }},
    };
    const std::atomic<int> raised{1};
    for (const auto& [name, run] : operations) {
        EXPECT_GT(run(nullptr), 0u) << name;
        EXPECT_EQ(run(&raised), 0u) << name;
    }
}

TEST(Cancel, AStoppedReadOrWriteChangesNothingAndSaysNothing) {
    TempDir dir;
    RecordingHost host;
    CaptionProject project;
    project.host = &host;
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
