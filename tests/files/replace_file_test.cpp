// Writing output files: a new file replaces the old one whole, links, permissions and owners
// stay, what the user may not write is refused, and a failure or a killed run leaves the old
// file and no stray file behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <thread>

#include "files/file.h"
#include "files/files_test_support.h"
#include "files/own_files.h"
#include "files/recovery_files.h"
#include "files/replacing_file.h"

// A file system without unnamed files (as some network and FAT ones): this program's open()
// refuses O_TMPFILE while a test asks it to, as such a file system does.
namespace {
std::atomic<bool> refuseUnnamedFiles{false};
struct WithoutUnnamedFiles {
    WithoutUnnamedFiles() { refuseUnnamedFiles = true; }
    ~WithoutUnnamedFiles() { refuseUnnamedFiles = false; }
};
}  // namespace

extern "C" int open(const char* path, int flags, ...) {
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = (flags & O_CREAT) != 0 || unnamed ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    if (unnamed && refuseUnnamedFiles) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

namespace vantrel {
namespace {

using namespace testing;

namespace fs = std::filesystem;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// A replaced file keeps its mode, and its owner and group where the user may give them (root
// only, here); a new one gets the umask's mode. The temporary name is short, so that any name
// the system allows can be written.
TEST(ReplaceFileContent, KeepsModeAndOwnerAndGivesNewFilesTheUmasksMode) {
    TempDir dir;
    const std::string longName = std::string(246, 'n') + ".txt";
    const std::string kept = dir.File("kept.txt"), fresh = dir.File(longName);
    WriteFileText(kept, std::string(1000, 'x'));
    ::chmod(kept.c_str(), 0604);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(kept.c_str(), 1234, 1235), 0);
    }
    const mode_t umask = ::umask(027);
    EXPECT_EQ(ReplaceFileContent(kept, "new", nullptr), WriteResult::Written);
    EXPECT_EQ(ReplaceFileContent(fresh, "new", nullptr), WriteResult::Written);
    ::umask(umask);
    EXPECT_EQ(ReadFileText(kept), "new");
    EXPECT_EQ(StatOf(kept).st_mode & 07777, 0604u);
    EXPECT_EQ(StatOf(kept).st_uid, root ? 1234u : ::geteuid());
    EXPECT_EQ(StatOf(kept).st_gid, root ? 1235u : ::getegid());
    EXPECT_EQ(StatOf(fresh).st_mode & 07777, 0640u);
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"kept.txt", longName}));
}

// A link keeps pointing where it did and the write lands in the file it names, whether that
// exists or not yet, through a chain of links and relative ones; a pipe is written where it is.
TEST(ReplaceFileContent, ALinkKeepsPointingAtTheFileItNamesAndAPipeIsWrittenWhereItIs) {
    TempDir dir;
    fs::create_directory(dir.File("real"));
    WriteFileText(dir.File("real/target.txt"), "old");
    fs::create_symlink(dir.File("real/target.txt"), dir.File("absolute"));
    fs::create_symlink("real/new.txt", dir.File("dangling"));
    fs::create_symlink("dangling", dir.File("chain"));
    // A relative link to a relative link in a subfolder: the second is read from its own folder.
    fs::create_directory(dir.File("sub"));
    WriteFileText(dir.File("sub/deep.txt"), "old");
    fs::create_symlink("deep.txt", dir.File("sub/inner"));
    fs::create_symlink("sub/inner", dir.File("hop"));
    const std::pair<const char*, const char*> cases[] = {{"absolute", "real/target.txt"},
                                                         {"dangling", "real/new.txt"},
                                                         {"chain", "real/new.txt"},
                                                         {"hop", "sub/deep.txt"}};
    for (const auto& [link, target] : cases) {
        EXPECT_EQ(ReplaceFileContent(dir.File(link), link, nullptr), WriteResult::Written);
        EXPECT_TRUE(fs::is_symlink(dir.File(link))) << link;
        EXPECT_EQ(ReadFileText(dir.File(target)), link);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("real")), {}), 2) << "no stray file";
    EXPECT_EQ(dir.Names(),
              (std::vector<std::string>{"absolute", "chain", "dangling", "hop", "real", "sub"}));
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    std::string got;
    std::thread reader([&] { got = ReadFileText(dir.File("pipe")); });
    EXPECT_EQ(ReplaceFileContent(dir.File("pipe"), "through the pipe", nullptr),
              WriteResult::Written);
    reader.join();
    EXPECT_EQ(got, "through the pipe");
    EXPECT_TRUE(fs::is_fifo(dir.File("pipe")));
}

// Another user's link in a shared sticky folder (as /tmp) is not written through, as the
// kernel's rule for such links (fs.protected_symlinks) has it: the write is refused and the
// file it names stays. The link's folder not sticky, the folder's owner owning the link, or the
// user's own link: written through. Two accounts are needed: root gives the link away.
TEST(ReplaceFileContent, AnotherUsersLinkInAStickyFolderIsNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving a link to another user needs root";
    constexpr uid_t kOther = 65534;
    const struct {
        const char* name;
        mode_t folderMode;
        uid_t folderOwner, linkOwner;
        bool written;
    } kCases[] = {
        {"another user's link, sticky folder", 01777, 0, kOther, false},
        {"the folder owner's link", 01777, kOther, kOther, true},
        {"the user's own link", 01777, 0, 0, true},
        {"folder not sticky", 0777, 0, kOther, true},
        {"sticky folder not writable by all", 01775, 0, kOther, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string shared = dir.File("shared"), notes = dir.File("notes.txt");
        const std::string link = shared + "/out.srt";
        WriteFileText(notes, "notes");
        ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(::chmod(shared.c_str(), c.folderMode), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, 0), 0);
        fs::create_symlink(notes, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, 0), 0);
        RecordingHost host;
        EXPECT_EQ(ReplaceFileContent(link, "captions", &host),
                  c.written ? WriteResult::Written : WriteResult::Failed);
        EXPECT_EQ(ReadFileText(notes), c.written ? "captions" : "notes");
        if (!c.written) {
            EXPECT_EQ(host.messages, std::vector<std::string>{"Error saving file " + link +
                                                              "\n\nPermission denied"});
        }
    }
}

// The program's own files are never written through what was planted in their place: a link,
// to a file or dangling, and a pipe are replaced by the new file, which only the user may read,
// whatever the umask.
TEST(ReplacingFile, APrivateFileReplacesALinkOrAPipeInItsPlace) {
    TempDir dir;
    const std::string precious = dir.File("precious.txt");
    WriteFileText(precious, "precious");
    const mode_t umask = ::umask(0);
    for (const char* planted : {"link", "dangling", "pipe", "none"}) {
        SCOPED_TRACE(planted);
        const std::string entry = dir.File(std::string(planted) + ".index");
        if (planted == std::string("link")) fs::create_symlink(precious, entry);
        if (planted == std::string("dangling")) fs::create_symlink(dir.File("made.txt"), entry);
        if (planted == std::string("pipe")) {
            ASSERT_EQ(::mkfifo(entry.c_str(), 0666), 0);
        }
        ReplacingFile out;
        ASSERT_TRUE(out.Open(entry, ReplacingFile::Kind::Private));
        ASSERT_TRUE(out.Output().Write("VTINDEX2"));
        ASSERT_TRUE(out.Commit());
        struct stat st {};
        ASSERT_EQ(::lstat(entry.c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(ReadFileText(entry), "VTINDEX2");
    }
    ::umask(umask);
    EXPECT_EQ(ReadFileText(precious), "precious");
    EXPECT_FALSE(fs::exists(dir.File("made.txt")));
}

// A recovery folder others may write to, or another user's, is refused with its reason, and
// what lies in it is not offered; in the user's own, the files only the user may read.
TEST(RecoveryFiles, OnlyAFolderOfTheUsersOwnIsUsed) {
    const struct {
        const char* name;
        mode_t mode;
        uid_t owner;
        const char* problem;
    } kCases[] = {
        {"writable by all", 0777, ::geteuid(), "others may write to it"},
        {"writable by its group", 0770, ::geteuid(), "others may write to it"},
        {"another user's", 0755, 65534, "it belongs to another user"},
        {"the user's own", 0700, ::geteuid(), ""},
    };
    const mode_t umask = ::umask(0);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        if (c.owner != ::geteuid() && ::geteuid() != 0) continue;  // only root gives folders away
        TempDir dir;
        const std::string folder = dir.File("state/vantrel");
        ASSERT_EQ(MakeOwnFolder(folder), "");
        ASSERT_EQ(::chmod(folder.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(folder.c_str(), c.owner, static_cast<gid_t>(-1)), 0);
        WriteFileText(folder + "/1-2-3.lock", "");
        WriteFileText(folder + "/1-2-3.ccp", "planted");
        EXPECT_EQ(FindLeftRecoveries(folder).size(), *c.problem == '\0' ? 1u : 0u);
        RecoveryFiles files;
        EXPECT_EQ(files.Claim(folder), *c.problem == '\0');
        EXPECT_EQ(files.Error(), c.problem);
        if (files.Claimed()) {
            ASSERT_TRUE(files.Write("project", "/a/b.ccp"));
            for (const char* end : {".ccp", ".path"}) {
                const std::string path =
                    files.ProjectFile().substr(0, files.ProjectFile().size() - 4);
                EXPECT_EQ(StatOf(path + end).st_mode & 0777, 0600u) << end;
            }
        }
    }
    ::umask(umask);
}

// The program's own files are read only when they are regular files within their bound, never
// through a link: nothing waits for a pipe, nor reads a device or a huge file.
TEST(ReadOwnFile, ReadsOnlyARegularFileWithinItsBound) {
    TempDir dir;
    WriteFileText(dir.File("entry"), "12345");
    fs::create_symlink(dir.File("entry"), dir.File("link"));
    ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
    const struct {
        std::string path;
        size_t limit;
        std::optional<std::string> read;
    } kCases[] = {
        {dir.File("entry"), 5, "12345"},     {dir.File("entry"), 4, std::nullopt},
        {dir.File("link"), 5, std::nullopt}, {dir.File("pipe"), 5, std::nullopt},
        {"/dev/zero", 5, std::nullopt},      {dir.File("missing"), 5, std::nullopt},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.path + " at most " + std::to_string(c.limit));
        EXPECT_EQ(ReadOwnFile(c.path, c.limit), c.read);
    }
}

int InChild(const std::function<void()>& body) {
    const pid_t child = ::fork();
    if (child == 0) {
        body();
        ::_exit(0);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return status;
}

// A full disk (here a file-size limit) fails the write with its reason, and a run killed in the
// middle of its write leaves nothing (where the file system can hold a file without a name):
// the old file stays whole, and alone.
TEST(ReplacingFile, AFullDiskOrAKilledRunLeavesTheOldFileAlone) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    WriteFileText(path, "old");
    const int full = InChild([&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        RecordingHost host;
        const bool told =
            ReplaceFileContent(path, std::string(100000, 'x'), &host) == WriteResult::Failed &&
            host.messages ==
                std::vector<std::string>{"Error saving file " + path + "\n\nFile too large"};
        ::_exit(told ? 0 : 1);
    });
    EXPECT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 0);
    if (const int probe = ::open(dir.Path().c_str(), O_TMPFILE | O_WRONLY, 0600); probe >= 0) {
        ::close(probe);
        const int killed = InChild([&] {
            ReplacingFile out;
            if (out.Open(path) && out.Output().Write(std::string(1 << 20, 'x'))) ::raise(SIGKILL);
        });
        EXPECT_TRUE(WIFSIGNALED(killed) && WTERMSIG(killed) == SIGKILL);
    }
    EXPECT_EQ(ReadFileText(path), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.txt"});
}

// Without unnamed files, the new file has a short hidden name beside the target until its
// commit, and nothing of it is left whether it is committed, abandoned or its rename fails.
TEST(ReplacingFile, WithoutUnnamedFilesAHiddenNameIsUsedAndNeverLeftBehind) {
    TempDir dir;
    const std::string path = dir.File("out.txt");
    WriteFileText(path, "old");
    ::chmod(path.c_str(), 0604);
    const WithoutUnnamedFiles without;
    for (const std::string end : {"commit", "abandon", "fail"}) {
        SCOPED_TRACE(end);
        const std::string target = end == "fail" ? dir.File("target") : path;
        ReplacingFile out;
        ASSERT_TRUE(out.Open(target) && out.Output().Write(end));
        const std::vector<std::string> names = dir.Names();
        ASSERT_EQ(names.size(), 2u);
        EXPECT_EQ(names[0].rfind(".vt-", 0), 0u) << names[0];
        EXPECT_EQ(names[0].size(), 10u) << names[0];
        if (end == "commit") {
            EXPECT_TRUE(out.Commit());
            EXPECT_EQ(StatOf(path).st_mode & 07777, 0604u);
        }
        if (end == "fail") {
            fs::create_directory(target);
            WriteFileText(target + "/inside", "");
            EXPECT_FALSE(out.Commit());
            fs::remove_all(target);
        }
    }
    EXPECT_EQ(ReadFileText(path), "commit");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.txt"});
}

// A failure belongs to the operation that had it, with its errno, and the next one starts
// afresh; the rename's own failure (the target became a folder meanwhile) carries its reason.
TEST(File, AFailureCarriesItsReasonAndDoesNotStick) {
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
    ReplacingFile out;
    ASSERT_TRUE(out.Open(dir.File("target")) && out.Output().Write("new"));
    fs::create_directory(dir.File("target"));
    WriteFileText(dir.File("target/inside"), "");
    EXPECT_FALSE(out.Commit());
    EXPECT_EQ(out.Error(), "Is a directory");
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in.txt", "target"}));
}

}  // namespace
}  // namespace vantrel
