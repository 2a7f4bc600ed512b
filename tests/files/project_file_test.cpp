// The project file: its layout, saving and loading, and what happens to the open project when
// a file is not a project or is damaged.
#include "files/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "codec/code_string.h"
#include "codec/encoder.h"
#include "files/files_test_support.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using testing::NewCaption;
using testing::PutText;
using testing::ReadFileText;
using testing::RecordingHost;
using testing::TempDir;
using testing::WriteFileText;

struct ProjectFixture : ::testing::Test {
    ProjectFixture() { project.host = &host; }
    // A project the tests expect to survive failed loads.
    void MakeCurrentProject() {
        Caption* c = NewCaption(100, 200);
        PutText(*c, 0, 0, "KEEP");
        project.captions.Insert(c);
        project.videoPath = "/videos/current.mp4";
        project.modified = 1;
    }
    void ExpectCurrentProjectKept() {
        ASSERT_EQ(project.captions.Count(), 1);
        EXPECT_EQ(project.captions.Head()->cells[0][0].character, 'K');
        EXPECT_EQ(project.videoPath, "/videos/current.mp4");
        EXPECT_EQ(project.modified, 1);
        EXPECT_EQ(host.closeCount, 0);
    }
    TempDir dir;
    RecordingHost host;
    CaptionProject project;
};

TEST(ProjectFileBytes, AnEmptyProjectIs18Bytes) {
    CaptionProject empty;
    EXPECT_EQ(ProjectFileBytes(empty, 0), std::string("CCP1\0\0\0\0\1\0\0\1\0\0\0\0\0\0", 18));
}

TEST(ProjectFileBytes, FieldsAreLittleEndian) {
    CaptionProject p;
    p.videoPath = "v.mp4";
    Caption* c = NewCaption(0x01020304, -2, Persistent);
    PutText(*c, 14, 0, "HI");
    p.captions.Insert(c);
    const std::string bytes = ProjectFileBytes(p, 0x11223344);
    const std::string head("CCP1\x44\x33\x22\x11\x06\x00v.mp4\0\x01\x00\x00\x01\x00\x00\x00", 23);
    EXPECT_EQ(bytes.substr(0, 23), head);
    // The record: R = 7 code bytes + 13, mode, flag, start, end, the code string, zero.
    const std::string record(
        "\x14\x00\x02\x01\x04\x03\x02\x01\xFE\xFF\xFF\xFF"
        "\x02\xFE\x8F\x10HI\x06\x00",
        20);
    EXPECT_EQ(bytes.substr(23), record);
}

TEST(ReadRecord, RejectsShortAndCutRecordsAndFramesOutOfRange) {
    const int64_t max = kMaxEncodedFrame;
    const struct {
        std::vector<uint8_t> bytes;
        RecordRead result;
    } cases[] = {
        {{12, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0}, RecordRead::Damaged},  // length below 13
        {{20, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2}, RecordRead::Damaged},
        {{1}, RecordRead::Damaged},
        {{13, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, RecordRead::Read},  // frames 0 and 0
        {{13, 0, 1, 1, 0xFB, 0xFF, 0xFF, 0xFF, 9, 0, 0, 0, 0}, RecordRead::OutOfRange},  // -5
        {{13, 0, 1, 1, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0}, RecordRead::OutOfRange},  // end -1
        {{13, 0, 1, 1, uint8_t(max), uint8_t(max >> 8), uint8_t(max >> 16), 0, uint8_t(max),
          uint8_t(max >> 8), uint8_t(max >> 16), 0, 0},
         RecordRead::Read},
        {{13, 0, 1, 1, uint8_t(max + 1), uint8_t((max + 1) >> 8), uint8_t((max + 1) >> 16), 0,
          uint8_t(max + 1), uint8_t((max + 1) >> 8), uint8_t((max + 1) >> 16), 0, 0},
         RecordRead::OutOfRange},
    };
    for (const auto& c : cases) {
        Caption caption;
        MemoryInput in(c.bytes);
        EXPECT_EQ(ReadRecord(caption, in), c.result) << ::testing::PrintToString(c.bytes);
    }
}

TEST(ReadRecord, ACodeStringWithoutItsZeroStillEnds) {
    // R = 15: three code bytes and no zero byte in the record; a record follows.
    std::vector<uint8_t> records = {15,  0,  3, 0, 5, 0, 0, 0, 9, 0, 0, 0, 0x81, 0x10,
                                    'A', 13, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0,    0};
    MemoryInput in(records);
    Caption c;
    ASSERT_EQ(ReadRecord(c, in), RecordRead::Read);
    EXPECT_EQ(c.timingMode, Seamless);
    EXPECT_EQ(c.screenValid, 0);
    EXPECT_EQ(c.startFrame, 5);
    EXPECT_EQ(c.endFrame, 9);
    EXPECT_EQ(c.cells[0][0].character, 'A');
    EXPECT_TRUE(c.cells[0][1].IsEmpty());
    Caption next;
    EXPECT_EQ(ReadRecord(next, in), RecordRead::Read);
    EXPECT_EQ(next.timingMode, Normal);
    EXPECT_EQ(ReadRecord(next, in), RecordRead::Damaged);
}

TEST_F(ProjectFixture, SaveAndLoadGiveTheSameProject) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        CaptionProject saved;
        testing::RandomProject(rng, saved.captions, 40);
        saved.videoPath = round % 2 ? "" : "/no/such/video \xC3\xA9.mp4";
        saved.secondPath = round % 3 ? "" : "second";
        // A screen flag the system never sets itself is kept; such a screen isn't stored.
        if (round % 4 == 0) {
            saved.captions.Head()->screenValid = 0;
            saved.captions.Head()->ClearScreen();
            for (Caption* c = saved.captions.Head(); c; c = c->next) c->ApplyTiming();
        }
        RecordingHost saver;
        saver.currentFrame = 1234 + round;
        saved.host = &saver;
        saved.modified = 1;
        const std::string path = dir.File("p.ccp");
        ASSERT_EQ(SaveProject(saved, path), WriteResult::Written);
        EXPECT_EQ(saved.modified, 0);

        CaptionProject loaded;
        RecordingHost loader;
        loaded.host = &loader;
        ASSERT_EQ(LoadProject(loaded, path), LoadResult::Loaded);
        EXPECT_TRUE(testing::SameCaptions(saved.captions, loaded.captions, true)) << round;
        EXPECT_EQ(loaded.videoPath, saved.videoPath);
        EXPECT_EQ(loaded.secondPath, saved.secondPath);
        EXPECT_EQ(loaded.modified, 0);
        EXPECT_EQ(loader.closeCount, 1);
        if (saved.videoPath.empty()) {
            EXPECT_TRUE(loader.openedVideos.empty());
            EXPECT_TRUE(loader.steppedTo.empty());
        } else {
            EXPECT_EQ(loader.openedVideos, std::vector<std::string>{saved.videoPath});
            EXPECT_EQ(loader.steppedTo, std::vector<int32_t>{1234 + round});
        }
    }
}

TEST_F(ProjectFixture, TheSavedFrameIsSteppedToOnlyWithAVideo) {
    project.videoPath = "/no/video.mp4";
    host.currentFrame = 77;
    ASSERT_EQ(SaveProject(project, dir.File("p.ccp")), WriteResult::Written);
    CaptionProject other;
    RecordingHost noVideo;
    noVideo.videoOpens = false;
    other.host = &noVideo;
    ASSERT_EQ(LoadProject(other, dir.File("p.ccp")), LoadResult::Loaded);
    EXPECT_EQ(noVideo.openedVideos.size(), 1u);
    EXPECT_TRUE(noVideo.steppedTo.empty());
}

TEST_F(ProjectFixture, AVideoMissingWhereTheProjectSaysIsLookedUpBesideIt) {
    WriteFileText(dir.File("clip.mp4"), "video");
    project.videoPath = "clip.mp4";  // relative to the project file
    ASSERT_EQ(SaveProject(project, dir.File("rel.ccp")), WriteResult::Written);
    project.videoPath = "/gone/elsewhere/clip.mp4";  // moved with its project
    ASSERT_EQ(SaveProject(project, dir.File("abs.ccp")), WriteResult::Written);
    for (const char* name : {"rel.ccp", "abs.ccp"}) {
        CaptionProject loaded;
        RecordingHost loader;
        loaded.host = &loader;
        ASSERT_EQ(LoadProject(loaded, dir.File(name)), LoadResult::Loaded);
        EXPECT_EQ(loader.openedVideos, std::vector<std::string>{dir.File("clip.mp4")}) << name;
    }
}

TEST_F(ProjectFixture, SavingOverALongerFileLeavesNoTail) {
    WriteFileText(dir.File("p.ccp"), std::string(5000, 'x'));
    ASSERT_EQ(SaveProject(project, dir.File("p.ccp")), WriteResult::Written);
    EXPECT_EQ(ReadFileText(dir.File("p.ccp")).size(), 18u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"p.ccp"});
}

TEST_F(ProjectFixture, AFailedSaveIsReportedAndKeepsTheModifiedFlag) {
    project.modified = 1;
    for (const std::string& path : {dir.Path(), dir.File("no-folder/p.ccp")}) {
        host.messages.clear();
        EXPECT_EQ(SaveProject(project, path), WriteResult::Failed);
        EXPECT_EQ(project.modified, 1);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].rfind("Error saving file " + path, 0), 0u);
    }
    EXPECT_TRUE(dir.Names().empty());
}

TEST_F(ProjectFixture, FilesThatAreNoProjectLeaveTheCurrentOne) {
    MakeCurrentProject();
    const std::string scc = dir.File("x.scc");
    WriteFileText(scc, "Scenarist_SCC V1.0\r\n\r\n00:00:00:00\t942c\r\n");
    EXPECT_EQ(LoadProject(project, scc), LoadResult::NotAProject);
    ExpectCurrentProjectKept();
    EXPECT_EQ(host.messages, std::vector<std::string>{"File " + scc + " is not a caption project"});

    WriteFileText(dir.File("tiny.ccp"), "CC");
    EXPECT_EQ(LoadProject(project, dir.File("tiny.ccp")), LoadResult::NotAProject);
    ExpectCurrentProjectKept();

    EXPECT_EQ(LoadProject(project, dir.File("missing.ccp")), LoadResult::OpenFailed);
    ExpectCurrentProjectKept();
    EXPECT_EQ(host.messages.back().rfind("Error opening file " + dir.File("missing.ccp"), 0), 0u);
}

TEST_F(ProjectFixture, DamagedHeadersLeaveTheCurrentProject) {
    MakeCurrentProject();
    const std::string valid = ProjectFileBytes(project, 5);
    const std::string path = dir.File("d.ccp");
    // Cut anywhere inside the header (the magic is whole).
    const size_t headerSize = 16 + (project.videoPath.size() + 1) + 1;
    for (size_t cut = 4; cut < headerSize; ++cut) {
        WriteFileText(path, valid.substr(0, cut));
        EXPECT_EQ(LoadProject(project, path), LoadResult::Damaged) << cut;
        ExpectCurrentProjectKept();
    }
    // A path length that reads as a negative number.
    std::string negative = valid;
    negative[8] = '\x00';
    negative[9] = '\x80';
    WriteFileText(path, negative);
    EXPECT_EQ(LoadProject(project, path), LoadResult::Damaged);
    ExpectCurrentProjectKept();
    EXPECT_EQ(host.messages.back(), "File " + path + " is a damaged caption project");
}

TEST_F(ProjectFixture, ADamagedRecordEndsTheCaptionsThere) {
    CaptionProject saved;
    for (int k = 0; k < 5; ++k) {
        Caption* c = NewCaption(100 * k, 100 * k + 50);
        PutText(*c, 0, 0, "ABC");
        saved.captions.Insert(c);
    }
    std::string bytes = ProjectFileBytes(saved, 0);
    const size_t recordSize = (bytes.size() - 18) / 5;
    bytes.resize(18 + 3 * recordSize + recordSize / 2);  // count 5, 3 whole records
    WriteFileText(dir.File("cut.ccp"), bytes);
    MakeCurrentProject();
    EXPECT_EQ(LoadProject(project, dir.File("cut.ccp")), LoadResult::Loaded);
    EXPECT_EQ(project.captions.Count(), 3);
    EXPECT_EQ(project.modified, 0);
    EXPECT_EQ(project.videoPath, "");
    EXPECT_TRUE(host.messages.empty());

    // A record whose length is below 13 ends the list too.
    bytes.resize(18 + recordSize);
    bytes += std::string("\x05\x00", 2) + std::string(40, '\x01');
    WriteFileText(dir.File("short.ccp"), bytes);
    EXPECT_EQ(LoadProject(project, dir.File("short.ccp")), LoadResult::Loaded);
    EXPECT_EQ(project.captions.Count(), 1);
}

// A read that fails after the header is no damaged record: nothing of the file is taken, and the
// user is told which file could not be read.
TEST_F(ProjectFixture, AReadErrorAfterTheHeaderKeepsTheCurrentProject) {
    struct FailingInput : MemoryInput {
        FailingInput(std::span<const uint8_t> bytes, size_t good)
            : MemoryInput(bytes.first(good)) {}
        size_t Read(void* data, size_t n) override {
            const size_t got = MemoryInput::Read(data, n);
            failed = failed || got < n;
            return got;
        }
        bool Failed() const override { return failed; }
        std::string Error() const override { return "Input/output error"; }
        bool failed = false;
    };
    CaptionProject saved;
    for (int k = 0; k < 3; ++k) saved.captions.Insert(NewCaption(100 * k, 100 * k + 50));
    const std::string text = ProjectFileBytes(saved, 0);
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    MakeCurrentProject();
    FailingInput in(bytes, bytes.size() - 5);  // inside the last record
    EXPECT_EQ(LoadProject(project, in, "/p/x.ccp"), LoadResult::OpenFailed);
    ExpectCurrentProjectKept();
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Error opening file /p/x.ccp\n\nInput/output error"});
}

TEST_F(ProjectFixture, RecordsWithFramesOutOfRangeAreLeftOutAndCounted) {
    CaptionProject saved;
    for (int32_t start : {-5, 0, 40, int32_t(kMaxEncodedFrame), int32_t(kMaxEncodedFrame) + 1}) {
        saved.captions.Insert(NewCaption(start, start < 0 ? 10 : start));
    }
    WriteFileText(dir.File("r.ccp"), ProjectFileBytes(saved, 0));
    EXPECT_EQ(LoadProject(project, dir.File("r.ccp")), LoadResult::Loaded);
    EXPECT_EQ(project.captions.Count(), 3);
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"2 captions of " + dir.File("r.ccp") +
                                       " were left out: frames must lie from 00:00:00:00 to "
                                       "99:59:59:29"});
}

TEST_F(ProjectFixture, AHugeCaptionCountReadsOnlyWhatIsThere) {
    std::string bytes = ProjectFileBytes(project, 0);
    bytes[14] = '\xFF';
    bytes[15] = '\xFF';
    bytes[16] = '\xFF';
    bytes[17] = '\x7F';
    WriteFileText(dir.File("big.ccp"), bytes);
    EXPECT_EQ(LoadProject(project, dir.File("big.ccp")), LoadResult::Loaded);
    EXPECT_EQ(project.captions.Count(), 0);
}

}  // namespace
}  // namespace vantrel
