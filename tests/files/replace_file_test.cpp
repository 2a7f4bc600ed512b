// Writing output files: a new file replaces the old one whole, links and permissions stay,
// and a failure leaves the old file and no stray file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "files/file.h"
#include "files/files_test_support.h"

namespace vantrel {
namespace {

using testing::ReadFileText;
using testing::RecordingHost;
using testing::TempDir;
using testing::WriteFileText;
namespace fs = std::filesystem;

TEST(ReplaceFileContent, ReplacesTheWholeFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    WriteFileText(path, std::string(1000, 'x'));
    ::chmod(path.c_str(), 0640);
    EXPECT_EQ(ReplaceFileContent(path, "new", nullptr), WriteResult::Written);
    EXPECT_EQ(ReadFileText(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.txt"});
}

TEST(ReplaceFileContent, ALinkKeepsPointingAtTheFileItNames) {
    TempDir dir;
    fs::create_directory(dir.File("real"));
    WriteFileText(dir.File("real/target.txt"), "old");
    fs::create_symlink(dir.File("real/target.txt"), dir.File("link.txt"));
    EXPECT_EQ(ReplaceFileContent(dir.File("link.txt"), "new", nullptr), WriteResult::Written);
    EXPECT_TRUE(fs::is_symlink(dir.File("link.txt")));
    EXPECT_EQ(ReadFileText(dir.File("real/target.txt")), "new");
}

TEST(ReplaceFileContent, APipeIsWrittenWhereItIs) {
    TempDir dir;
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = ReadFileText(fifo); });
    EXPECT_EQ(ReplaceFileContent(fifo, "through the pipe", nullptr), WriteResult::Written);
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(ReplaceFileContent, FailuresAreReportedWithTheReason) {
    TempDir dir;
    RecordingHost host;
    const std::string path = dir.File("missing/out.txt");
    EXPECT_EQ(ReplaceFileContent(path, "x", &host), WriteResult::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Error saving file " + path + "\n\nNo such file or directory");
}

}  // namespace
}  // namespace vantrel
