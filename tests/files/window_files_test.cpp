// The files behind the window: the recovery files of running and dead windows, and which
// names lead to a local file that may be opened as video.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "files/file.h"
#include "files/files_test_support.h"
#include "files/recovery_files.h"

namespace vantrel {
namespace {

using namespace testing;
using Names = std::vector<std::string>;

// A window's files are its own while it runs; once it is gone without removing them, the next
// start finds them (with the project's path) and can discard them. A window that never wrote
// anything leaves nothing.
TEST(RecoveryFiles, ARunningWindowsFileIsLeftAloneADeadOnesIsFound) {
    TempDir dir;
    const std::string folder = dir.File("state/vantrel");
    auto running = std::make_unique<RecoveryFiles>();
    ASSERT_TRUE(running->Claim(folder)) << running->Error();
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_TRUE(running->Write("CCP1 bytes", "/home/me/episode.ccp"));
    ASSERT_TRUE(running->Write("CCP1 newer", "/home/me/episode.ccp"));
    EXPECT_TRUE(FindLeftRecoveries(folder).empty()) << "the window still runs";
    {
        RecoveryFiles idle;
        ASSERT_TRUE(idle.Claim(folder));
    }
    running.reset();  // as a kill would leave it
    std::vector<LeftRecovery> left = FindLeftRecoveries(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(ReadFileText(left[0].ProjectFile()), "CCP1 newer");
    EXPECT_EQ(left[0].ProjectPath(), "/home/me/episode.ccp");
    EXPECT_GT(left[0].Changed(), 0);
    EXPECT_TRUE(FindLeftRecoveries(folder).empty()) << "taken by the first start";
    left[0].Discard();
    left.clear();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(CheckLocalFile, OnlyAnExistingRegularFileIsLocal) {
    TempDir dir;
    WriteFileText(dir.File("clip.mp4"), "video");
    const struct {
        std::string path;
        LocalFileKind kind;
    } cases[] = {
        {dir.File("clip.mp4"), LocalFileKind::Regular},
        {dir.File("gone.mp4"), LocalFileKind::Missing},
        {dir.File("clip.mp4/x"), LocalFileKind::Missing},
        {"http://127.0.0.1:8765/x.mp4", LocalFileKind::NotLocal},
        {"file:///etc/passwd", LocalFileKind::NotLocal},
        {dir.Path(), LocalFileKind::NotLocal},
        {"/dev/zero", LocalFileKind::NotLocal},
        {"", LocalFileKind::NotLocal},
    };
    for (const auto& c : cases) {
        std::string absolute;
        EXPECT_EQ(CheckLocalFile(c.path, &absolute), c.kind) << c.path;
        EXPECT_EQ(absolute, c.kind == LocalFileKind::Regular ? c.path : "") << c.path;
    }
}

}  // namespace
}  // namespace vantrel
