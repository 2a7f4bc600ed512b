// The project file: its layout, saving and loading, and what happens to the open project when
// a file is not a project or is damaged.
#include "files/project_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>

#include "codec/code_string.h"
#include "codec/encoder.h"
#include "files/file_messages.h"
#include "files/files_test_support.h"
#include "support/random_project.h"

namespace vantrel {
namespace {

using namespace testing;

struct ProjectFixture : ProjectTest {};

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

// A 13-byte record (no code string) with the given frames, length field and timing mode.
std::string Record(int64_t start, int64_t end, uint16_t length = 13, uint8_t mode = 1) {
    std::string r = {char(length), char(length >> 8), char(mode), 1};
    for (int64_t v : {start, end}) {
        for (int k = 0; k < 4; ++k) r += static_cast<char>(v >> (8 * k));
    }
    return r + '\0';
}

// A project file whose header (video "v.mp4") counts `count` captions, then `records`.
std::string ProjectWith(uint32_t count, const std::string& records) {
    std::string bytes("CCP1\0\0\0\0\6\0v.mp4\0\1\0\0", 19);
    for (int k = 0; k < 4; ++k) bytes += static_cast<char>(count >> (8 * k));
    return bytes + records;
}

// A code string without its zero still ends with its record. And the bounds of a valid record:
// an end on the frame of the start; a start on the last frame that is encoded, and an end as far
// past it as a caption of ours may end.
TEST(ProjectFile, ACodeStringWithoutItsZeroAndRecordsAtTheBoundsLoad) {
    // R = 15: three code bytes and no zero byte in the record; a record follows.
    const std::string open = std::string("\x0F\0\3\0\5\0\0\0\x09\0\0\0", 12) + "\x81\x10" + "A";
    const std::vector<uint8_t> bytes =
        Bytes(ProjectWith(3, open + Record(0, 0) + Record(kMaxEncodedFrame, kMaxCaptionEndFrame)));
    MemoryInput in(bytes);
    CaptionProject p;
    ASSERT_EQ(LoadProject(p, in, ""), LoadResult::Loaded);
    ASSERT_EQ(p.captions.Count(), 3);
    const Caption& c = *p.captions.Head()->next;
    EXPECT_EQ(c.timingMode, Seamless);
    EXPECT_EQ(c.screenValid, 0);
    EXPECT_EQ(c.startFrame, 5);
    EXPECT_EQ(c.endFrame, kMaxEncodedFrame);  // Seamless: on to the next caption
    EXPECT_EQ(c.cells[0][0].character, 'A');
    EXPECT_TRUE(c.cells[0][1].IsEmpty());
    EXPECT_EQ(c.prev->timingMode, Normal);
    EXPECT_EQ(c.next->endFrame, kMaxCaptionEndFrame);
}

TEST_F(ProjectFixture, SaveAndLoadGiveTheSameProject) {
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        CaptionProject saved;
        RandomProject(rng, saved.captions, 40);
        saved.videoPath = round % 2 ? "" : "/no/such/video \xC3\xA9.mp4";
        saved.secondPath = round % 3 ? "" : "second";
        // A screen flag the system never sets itself is kept; such a screen isn't stored.
        if (round % 4 == 0) {
            saved.captions.Head()->screenValid = 0;
            saved.captions.Head()->ClearScreen();
            for (Caption* c = saved.captions.Head(); c; c = c->next) c->ApplyTiming(kDefaultGap);
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
        EXPECT_TRUE(SameCaptions(saved.captions, loaded.captions, true)) << round;
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

// ... and saved elsewhere (Save As), a relative path stays relative, from the new folder.
TEST_F(ProjectFixture, AVideoMissingWhereTheProjectSaysIsLookedUpBesideIt) {
    WriteFileText(dir.File("clip.mp4"), "video");
    std::filesystem::create_directory(dir.File("sub"));
    // Written by hand: "clip.mp4" as found in the file, relative to its folder.
    const std::string relative("\x09\0clip.mp4\0", 11);
    WriteFileText(dir.File("rel.ccp"), ProjectFileBytes(project, 0).replace(8, 3, relative));
    project.videoPath = "/gone/elsewhere/clip.mp4";  // moved with its project
    ASSERT_EQ(SaveProject(project, dir.File("abs.ccp")), WriteResult::Written);
    for (const std::string name : {"rel.ccp", "abs.ccp"}) {
        CaptionProject loaded;
        RecordingHost loader;
        loaded.host = &loader;
        ASSERT_EQ(LoadProject(loaded, dir.File(name)), LoadResult::Loaded);
        EXPECT_EQ(loader.openedVideos, std::vector<std::string>{dir.File("clip.mp4")}) << name;
        ASSERT_EQ(SaveProject(loaded, dir.File("sub/copy.ccp")), WriteResult::Written);
        File copy;
        ASSERT_TRUE(copy.Open(dir.File("sub/copy.ccp"), File::Mode::Read));
        FileInput in(copy);
        ProjectHeader header;
        ASSERT_EQ(ReadProjectHeader(in, header), HeaderCheck::Valid);
        EXPECT_EQ(header.videoPath, name == "rel.ccp" ? "../clip.mp4" : dir.File("clip.mp4"));
    }
}

// Files that are no project or are damaged leave the current project as it was, with one
// message that names the file and what is wrong; what a damaged file still holds (its header,
// the captions before the damaged record) is handed to the caller.
TEST_F(ProjectFixture, FilesThatAreNoProjectOrDamagedLeaveTheCurrentOne) {
    MakeCurrentProject(true);
    const std::string valid = ProjectFileBytes(project, 5);
    const std::string demo = ReadFileText(VANTREL_SOURCE_DIR "/resources/demo/demo.ccp");
    ASSERT_EQ(demo.size(), 349u);
    const std::string two = Record(10, 20) + Record(30, 40);
    const int64_t max = kMaxEncodedFrame;
    struct Case {
        std::string name;
        std::optional<std::string> bytes;  // none: no such file
        LoadResult result;
        std::string message;  // the message after "File <path>" or "<path>"; "" for an open error
        int readable = 0;     // captions handed to the caller
    };
    const std::string notOne = " is not a caption project";
    const std::string header = " is a damaged caption project\n\n";
    const std::string record = "\n\nCaption record ";
    std::vector<Case> cases = {
        {"x.scc", "Scenarist_SCC V1.0\r\n\r\n00:00:00:00\t942c\r\n", LoadResult::NotAProject,
         notOne},
        {"tiny.ccp", "CC", LoadResult::NotAProject, notOne},
        {"missing.ccp", std::nullopt, LoadResult::OpenFailed, ""},
        {"negative", valid.substr(0, 8) + '\0' + '\x80' + valid.substr(10), LoadResult::Damaged,
         header + "A path length in its header is negative."},
        {"count", ProjectWith(0xFFFFFFFF, two), LoadResult::Damaged,
         header + "Its caption count, -1, is negative."},
        {"demo", demo.substr(0, 339), LoadResult::Damaged,
         record + "5 of 5 is damaged: the file ends inside it.", 4},
        {"fewer", ProjectWith(3, two), LoadResult::Damaged,
         record + "3 of 3 is damaged: the file ends before it.", 2},
        {"huge", ProjectWith(0x7FFFFFFF, ""), LoadResult::Damaged,
         record + "1 of 2147483647 is damaged: the file ends before it."},
        {"short", ProjectWith(3, Record(10, 20) + Record(0, 0, 12) + Record(30, 40)),
         LoadResult::Damaged,
         record + "2 of 3 is damaged: its length, 12 bytes, is less than the 13 of a record.", 1},
        {"long", ProjectWith(2, Record(0, 0, 0xFFFF) + Record(10, 20)), LoadResult::Damaged,
         record + "1 of 2 is damaged: the file ends inside it."},
        {"mode", ProjectWith(3, two + Record(50, 60, 13, 99)), LoadResult::Damaged,
         record + "3 of 3 is damaged: its timing mode, 99, is not one of 1 to 4.", 2},
        {"before", ProjectWith(3, Record(100, 99) + two), LoadResult::Damaged,
         record + "1 of 3 is damaged: its end frame, 99, lies before its start frame, 100."},
        {"far", ProjectWith(3, two + Record(50, 0x7FFFFFFF)), LoadResult::Damaged,
         record + "3 of 3 is damaged: its end frame, 2147483647, lies past 10800899.", 2},
        {"past", ProjectWith(3, two + Record(max, kMaxCaptionEndFrame + 1)), LoadResult::Damaged,
         record + "3 of 3 is damaged: its end frame, 10800900, lies past 10800899.", 2},
        {"start", ProjectWith(2, Record(10, 20) + Record(-5, 9)), LoadResult::Damaged,
         record + "2 of 2 is damaged: its start frame, -5, lies outside 0 to 10799999.", 1},
        {"late", ProjectWith(1, Record(max + 1, max + 2)), LoadResult::Damaged,
         record + "1 of 1 is damaged: its start frame, 10800000, lies outside 0 to 10799999."},
        {"same", ProjectWith(3, two + Record(30, 35)), LoadResult::Damaged,
         record + "3 of 3 is damaged: it starts on frame 30, as record 2 does.", 2},
        {"after", ProjectWith(2, two + "abc"), LoadResult::Damaged,
         "\n\nThe file goes on after its last caption record, 2 of 2.", 2},
        {"empty", ProjectWith(0, "a"), LoadResult::Damaged,
         "\n\nThe file goes on after its header, which counts no caption record."},
    };
    // Cut anywhere inside the header (the magic whole).
    const size_t headerSize = 16 + (project.videoPath.size() + 1) + 1;
    for (size_t cut = 4; cut < headerSize; ++cut) {
        cases.push_back({"cut" + std::to_string(cut), valid.substr(0, cut), LoadResult::Damaged,
                         header + "The file ends inside its header."});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File(c.name);
        if (c.bytes) WriteFileText(path, *c.bytes);
        host.messages.clear();
        ProjectContent read;
        EXPECT_EQ(LoadProject(project, path, &read), c.result);
        ExpectCurrentProjectKept();
        ASSERT_EQ(host.messages.size(), 1u);
        const std::string& message = host.messages[0];
        if (c.message.empty()) {
            EXPECT_EQ(message.rfind(ErrorOpeningFileText(path), 0), 0u) << message;
        } else {
            EXPECT_EQ(message, (c.message[0] == '\n' ? path : "File " + path) + c.message);
        }
        EXPECT_EQ(read.captions.Count(), c.readable);
        if (c.readable > 0) {
            EXPECT_EQ(read.header.videoPath, c.name == "demo" ? "demo.mpg" : "v.mp4");
        }
    }
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

}  // namespace
}  // namespace vantrel
