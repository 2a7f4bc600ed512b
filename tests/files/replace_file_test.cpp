// Writing output files: a new file replaces the old one whole, links and permissions stay,
// and a failure leaves the old file and no stray file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iterator>
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

// A link keeps pointing where it did and the write lands in the file it names, whether that
// exists or not yet, through a chain of links and relative ones.
TEST(ReplaceFileContent, ALinkKeepsPointingAtTheFileItNames) {
    TempDir dir;
    fs::create_directory(dir.File("real"));
    WriteFileText(dir.File("real/target.txt"), "old");
    fs::create_symlink(dir.File("real/target.txt"), dir.File("absolute"));
    fs::create_symlink("real/new.txt", dir.File("dangling"));
    fs::create_symlink("dangling", dir.File("chain"));
    const std::pair<const char*, const char*> cases[] = {
        {"absolute", "real/target.txt"}, {"dangling", "real/new.txt"}, {"chain", "real/new.txt"}};
    for (const auto& [link, target] : cases) {
        EXPECT_EQ(ReplaceFileContent(dir.File(link), link, nullptr), WriteResult::Written);
        EXPECT_TRUE(fs::is_symlink(dir.File(link))) << link;
        EXPECT_EQ(ReadFileText(dir.File(target)), link);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 2) << "no stray file";
}

// A full disk (here a file-size limit) fails the write with its reason and leaves the old file
// whole, with no new file beside it.
TEST(ReplaceFileContent, AFullDiskLeavesTheOldFileIntact) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    WriteFileText(path, "old content");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        RecordingHost host;
        const bool failed =
            ReplaceFileContent(path, std::string(100000, 'x'), &host) == WriteResult::Failed &&
            host.messages.size() == 1 &&
            host.messages[0].find("File too large") != std::string::npos;
        ::_exit(failed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFileText(path), "old content");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.txt"});
}

// A failure belongs to the operation that had it, with its errno; the next one starts afresh.
TEST(File, AFailureDoesNotStickToLaterOperations) {
    TempDir dir;
    WriteFileText(dir.File("in.txt"), "abc");
    File file;
    ASSERT_TRUE(file.Open(dir.File("in.txt"), File::Mode::Read));
    EXPECT_FALSE(file.Write("x"));
    EXPECT_TRUE(file.Failed());
    EXPECT_EQ(file.Error(), std::strerror(EBADF));
    char text[3];
    EXPECT_EQ(file.Read(text, 3), 3u);
    EXPECT_FALSE(file.Failed());
    EXPECT_EQ(file.Error(), "");
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
