// The recovery files of crashed windows: found newest first, never those of a running window,
// with the path each project belongs to; a lock file left alone is cleared away.
#include "files/recovery_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/files_test_support.h"

namespace vantrel {
namespace {

using namespace testing;

void SetChanged(const std::string& path, time_t seconds) {
    const timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(RecoveryFiles, CrashedWindowsAreFoundNewestFirstAndRunningOnesNot) {
    TempDir dir;
    const std::string folder = dir.File("state");
    std::string oldest, newest;
    for (const auto& [path, when, left] :
         {std::tuple("/work/old.ccp", 1'000'000, &oldest), std::tuple("", 3'000'000, &newest)}) {
        RecoveryFiles window;
        ASSERT_TRUE(window.Claim(folder)) << window.Error();
        ASSERT_TRUE(window.Write("project", path));
        *left = window.ProjectFile();
        SetChanged(*left, when);
    }  // gone without removing its file, as a crash leaves it
    RecoveryFiles running;
    ASSERT_TRUE(running.Claim(folder));
    ASSERT_TRUE(running.Write("mine", ""));
    WriteFileText(folder + "/stale.lock", "");  // a window that could not clean up
    const std::vector<LeftRecovery> found = FindLeftRecoveries(folder);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].ProjectFile(), newest);
    EXPECT_EQ(found[0].ProjectPath(), "");
    EXPECT_EQ(found[1].ProjectFile(), oldest);
    EXPECT_EQ(found[1].ProjectPath(), "/work/old.ccp");
    EXPECT_EQ(ReadFileText(oldest), "project");
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "only the user may enter";
    EXPECT_TRUE(FindLeftRecoveries(folder).empty()) << "a start holds what it found";
    EXPECT_FALSE(std::filesystem::exists(folder + "/stale.lock"));
}

}  // namespace
}  // namespace vantrel
