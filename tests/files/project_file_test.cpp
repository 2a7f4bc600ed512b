// The project file: its layout, saving and loading, and what happens to the open project when
// a file is not a project or is damaged.
#include "files/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "codec/code_string.h"
#include "codec/encoder.h"
#include "files/files_test_support.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using testing::AddCaption;
using testing::ReadFileText;
using testing::RecordingHost;
using testing::TempDir;
using testing::WriteFileText;

struct ProjectFixture : testing::ProjectTest {};

// The layout other tools read: little-endian fields; a record of R = 7 code bytes + 13, mode,
// flag, start, end, the code string and a zero.
TEST(ProjectFileBytes, FieldsAreLittleEndian) {
    CaptionProject p;
    EXPECT_EQ(ProjectFileBytes(p, 0), std::string("CCP1\0\0\0\0\1\0\0\1\0\0\0\0\0\0", 18));
    p.videoPath = "v.mp4";
    AddCaption(p.captions, 0x01020304, -2, "HI", 14, 0, Persistent);
    EXPECT_EQ(ProjectFileBytes(p, 0x11223344),
              std::string("CCP1\x44\x33\x22\x11\x06\x00v.mp4\0\x01\x00\x00\x01\x00\x00\x00"
                          "\x14\x00\x02\x01\x04\x03\x02\x01\xFE\xFF\xFF\xFF"
                          "\x02\xFE\x8F\x10HI\x06\x00",
                          43));
}

// A 13-byte record (no code string) with the given frames and length field.
std::vector<uint8_t> Record(int64_t start, int64_t end, uint8_t length = 13) {
    std::vector<uint8_t> r = {length, 0, 1, 1};
    for (int64_t v : {start, end}) {
        for (int k = 0; k < 4; ++k) r.push_back(static_cast<uint8_t>(v >> (8 * k)));
    }
    r.push_back(0);
    return r;
}

TEST(ReadRecord, RejectsShortAndCutRecordsAndFramesOutOfRange) {
    const int64_t max = kMaxEncodedFrame;
    const std::pair<std::vector<uint8_t>, RecordRead> cases[] = {
        {Record(0, 0, 12), RecordRead::Damaged},  // length below 13
        {Record(0, 0, 20), RecordRead::Damaged},  // cut
        {{1}, RecordRead::Damaged},
        {Record(0, 0), RecordRead::Read},
        {Record(-5, 9), RecordRead::OutOfRange},
        {Record(0, -1), RecordRead::OutOfRange},
        {Record(max, max), RecordRead::Read},
        {Record(max + 1, max + 1), RecordRead::OutOfRange},
    };
    for (const auto& [bytes, result] : cases) {
        Caption caption;
        MemoryInput in(bytes);
        EXPECT_EQ(ReadRecord(caption, in), result) << ::testing::PrintToString(bytes);
    }
}

TEST(ReadRecord, ACodeStringWithoutItsZeroStillEnds) {
    // R = 15: three code bytes and no zero byte in the record; a record follows.
    std::vector<uint8_t> records = {15, 0, 3, 0, 5, 0, 0, 0, 9, 0, 0, 0, 0x81, 0x10, 'A'};
    const std::vector<uint8_t> next = Record(0, 0);
    records.insert(records.end(), next.begin(), next.end());
    MemoryInput in(records);
    Caption c;
    ASSERT_EQ(ReadRecord(c, in), RecordRead::Read);
    EXPECT_EQ(c.timingMode, Seamless);
    EXPECT_EQ(c.screenValid, 0);
    EXPECT_EQ(c.startFrame, 5);
    EXPECT_EQ(c.endFrame, 9);
    EXPECT_EQ(c.cells[0][0].character, 'A');
    EXPECT_TRUE(c.cells[0][1].IsEmpty());
    Caption second;
    EXPECT_EQ(ReadRecord(second, in), RecordRead::Read);
    EXPECT_EQ(second.timingMode, Normal);
    EXPECT_EQ(ReadRecord(second, in), RecordRead::Damaged);
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
        saved.modified = true;
        const std::string path = dir.File("p.ccp");
        ASSERT_EQ(SaveProject(saved, path), WriteResult::Written);
        EXPECT_FALSE(saved.modified);

        CaptionProject loaded;
        RecordingHost loader;
        loader.videoOpens = round % 4 != 2;  // the saved frame is stepped to only in a video
        loaded.host = &loader;
        ASSERT_EQ(LoadProject(loaded, path), LoadResult::Loaded);
        EXPECT_TRUE(testing::SameCaptions(saved.captions, loaded.captions, true)) << round;
        EXPECT_EQ(loaded.videoPath, saved.videoPath);
        EXPECT_EQ(loaded.secondPath, saved.secondPath);
        EXPECT_FALSE(loaded.modified);
        EXPECT_EQ(loader.closeCount, 1);
        const bool video = !saved.videoPath.empty();
        EXPECT_EQ(loader.openedVideos,
                  video ? std::vector{saved.videoPath} : std::vector<std::string>{});
        EXPECT_EQ(loader.steppedTo,
                  video && loader.videoOpens ? std::vector{1234 + round} : std::vector<int32_t>{});
    }
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

TEST_F(ProjectFixture, FilesThatAreNoProjectOrDamagedLeaveTheCurrentOne) {
    MakeCurrentProject(true);
    const std::string valid = ProjectFileBytes(project, 5);
    struct Case {
        std::string name;
        std::optional<std::string> bytes;  // none: no such file
        LoadResult result;
        std::string message;  // the start of the one message, after "File <path>"
    };
    std::vector<Case> cases = {
        {"x.scc", "Scenarist_SCC V1.0\r\n\r\n00:00:00:00\t942c\r\n", LoadResult::NotAProject,
         " is not a caption project"},
        {"tiny.ccp", "CC", LoadResult::NotAProject, " is not a caption project"},
        {"missing.ccp", std::nullopt, LoadResult::OpenFailed, ""},
    };
    // Cut anywhere inside the header (the magic whole), or a path length read as negative.
    const size_t headerSize = 16 + (project.videoPath.size() + 1) + 1;
    for (size_t cut = 4; cut < headerSize; ++cut) {
        cases.push_back({"cut" + std::to_string(cut), valid.substr(0, cut), LoadResult::Damaged,
                         " is a damaged caption project"});
    }
    cases.push_back({"negative", valid.substr(0, 8) + '\0' + '\x80' + valid.substr(10),
                     LoadResult::Damaged, " is a damaged caption project"});
    for (const Case& c : cases) {
        const std::string path = dir.File(c.name);
        if (c.bytes) WriteFileText(path, *c.bytes);
        host.messages.clear();
        EXPECT_EQ(LoadProject(project, path), c.result) << c.name;
        ExpectCurrentProjectKept();
        ASSERT_EQ(host.messages.size(), 1u) << c.name;
        const std::string want =
            c.message.empty() ? "Error opening file " + path : "File " + path + c.message;
        EXPECT_EQ(host.messages[0].rfind(want, 0), 0u) << host.messages[0];
    }
}

TEST_F(ProjectFixture, ADamagedRecordEndsTheCaptionsThere) {
    CaptionProject saved;
    for (int k = 0; k < 5; ++k) AddCaption(saved.captions, 100 * k, 100 * k + 50, "ABC", 0);
    std::string bytes = ProjectFileBytes(saved, 0);
    const size_t recordSize = (bytes.size() - 18) / 5;
    bytes.resize(18 + 3 * recordSize + recordSize / 2);  // count 5, 3 whole records
    WriteFileText(dir.File("cut.ccp"), bytes);
    MakeCurrentProject(true);
    EXPECT_EQ(LoadProject(project, dir.File("cut.ccp")), LoadResult::Loaded);
    EXPECT_EQ(project.captions.Count(), 3);
    EXPECT_FALSE(project.modified);
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
    for (int k = 0; k < 3; ++k) AddCaption(saved.captions, 100 * k, 100 * k + 50);
    const std::string text = ProjectFileBytes(saved, 0);
    const std::vector<uint8_t> bytes(text.begin(), text.end());
    MakeCurrentProject(true);
    FailingInput in(bytes, bytes.size() - 5);  // inside the last record
    EXPECT_EQ(LoadProject(project, in, "/p/x.ccp"), LoadResult::OpenFailed);
    ExpectCurrentProjectKept();
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"Error opening file /p/x.ccp\n\nInput/output error"});
}

TEST_F(ProjectFixture, RecordsWithFramesOutOfRangeAreLeftOutAndCounted) {
    CaptionProject saved;
    for (int32_t start : {-5, 0, 40, int32_t(kMaxEncodedFrame), int32_t(kMaxEncodedFrame) + 1}) {
        AddCaption(saved.captions, start, start < 0 ? 10 : start);
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
    bytes.replace(14, 4, "\xFF\xFF\xFF\x7F");  // a count of 2^31 - 1, no records
    WriteFileText(dir.File("big.ccp"), bytes);
    EXPECT_EQ(LoadProject(project, dir.File("big.ccp")), LoadResult::Loaded);
    EXPECT_EQ(project.captions.Count(), 0);
}

}  // namespace
}  // namespace vantrel
