#include "files/replacing_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>

namespace vantrel {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Whether the system would follow the link at `link` for this user when its rule for shared
// folders is on: not when the link's folder is sticky and writable by all, unless the link is the
// user's own or the folder's owner's.
bool MayFollowLink(const std::string& link, const struct stat& linkStat) {
    if (linkStat.st_uid == ::geteuid()) return true;
    const std::string folder = FolderOf(link);
    struct stat st {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &st) != 0) return false;
    constexpr mode_t kShared = S_ISVTX | S_IWOTH;
    return (st.st_mode & kShared) != kShared || st.st_uid == linkStat.st_uid;
}

// The file a write to `path` lands in: what a symbolic link points to (followed as far as the
// links go, even when the last one dangles, so that the write creates the file it names), else
// the path itself. False when a link on the way may not be followed.
bool ResolveTarget(const std::string& path, std::string& target) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {  // as many links as the system follows
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        if (!MayFollowLink(target, st)) return false;
        char link[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), link, sizeof link - 1);
        if (n <= 0) break;
        const std::string next(link, static_cast<size_t>(n));
        target = next.front() == '/' ? next : FolderOf(target) + next;
    }
    return true;
}

// A short hidden name in `folder` that is not likely to be taken; the caller creates it
// exclusively and asks again, with another `salt`, when it was. Short, so that a target name of
// any length allowed still has room beside it.
std::string HiddenName(const std::string& folder, uint64_t salt) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    uint64_t v = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    v ^= (static_cast<uint64_t>(::getpid()) << 32) ^ (salt * 0x9E3779B97F4A7C15ull);
    v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
    v ^= v >> 31;
    std::string name = folder + ".vt-";
    for (int k = 0; k < 6; ++k, v /= 62) name += kLetters[v % 62];
    return name;
}

constexpr int kNameAttempts = 100;

}  // namespace

ReplacingFile::~ReplacingFile() {
    Discard();
}

void ReplacingFile::Discard() {
    file_.Close();
    if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
    tempPath_.clear();
}

bool ReplacingFile::Fail(int err) {
    error_ = std::strerror(err);
    return false;
}

bool ReplacingFile::Open(const std::string& path, Kind kind) {
    Discard();
    error_.clear();
    unnamed_ = inPlace_ = replaces_ = false;
    const bool output = kind == Kind::Output;
    target_ = path;
    if (output && !ResolveTarget(path, target_)) return Fail(EACCES);
    struct stat existing {};
    if ((output ? ::stat(target_.c_str(), &existing) : ::lstat(target_.c_str(), &existing)) == 0) {
        if (S_ISDIR(existing.st_mode)) return Fail(EISDIR);
        if (output && !S_ISREG(existing.st_mode)) {
            // A device or a pipe is written where it is; renaming would replace it.
            const int fd = ::open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0) return Fail(errno);
            file_.Adopt(fd, path);
            inPlace_ = true;
            return true;
        }
        // What a shell's redirection would refuse is refused here too, although the rename
        // would not need the file's own permission.
        if (output && ::access(target_.c_str(), W_OK) != 0) return Fail(errno);
        replaces_ = output;
        mode_ = existing.st_mode;
        owner_ = existing.st_uid;
        group_ = existing.st_gid;
    } else if (errno != ENOENT) {
        return Fail(errno);
    }
    folder_ = FolderOf(target_);
    // A new output gets 0666 less the umask, as any new file.
    const mode_t mode = output ? 0666 : 0600;
    return OpenUnnamed(path, mode) || (error_.empty() && OpenNamed(path, mode));
}

bool ReplacingFile::OpenUnnamed(const std::string& path, mode_t mode) {
    const int fd =
        ::open(folder_.empty() ? "." : folder_.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) {
        // A file system without unnamed files says so in one of these ways; it gets a named one.
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL) return false;
        return Fail(errno);
    }
    // The name is given through /proc; without it, the file could never get one.
    struct stat st {};
    if (::stat(("/proc/self/fd/" + std::to_string(fd)).c_str(), &st) != 0) {
        ::close(fd);
        return false;
    }
    file_.Adopt(fd, path);
    unnamed_ = true;
    return true;
}

bool ReplacingFile::OpenNamed(const std::string& path, mode_t mode) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = HiddenName(folder_, reinterpret_cast<uintptr_t>(this) + attempt);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            file_.Adopt(fd, path);
            tempPath_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) return Fail(errno);
    }
    return Fail(EEXIST);
}

bool ReplacingFile::LinkUnnamed() {
    const std::string self = "/proc/self/fd/" + std::to_string(file_.Descriptor());
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = HiddenName(folder_, reinterpret_cast<uintptr_t>(this) + attempt);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            tempPath_ = std::move(name);
            unnamed_ = false;
            return true;
        }
        if (errno != EEXIST) return Fail(errno);
    }
    return Fail(EEXIST);
}

bool ReplacingFile::Commit() {
    error_.clear();
    if (Publish()) return true;
    Discard();
    return false;
}

bool ReplacingFile::Publish() {
    if (!file_.IsOpen()) return Fail(EBADF);
    if (inPlace_) {
        file_.Close();
        return true;
    }
    if (!file_.Sync()) {
        error_ = file_.Error();
        return false;
    }
    if (replaces_) {
        const int fd = file_.Descriptor();
        // The owner first: a change of owner clears the set-user-ID bit that the mode then
        // gives back. An owner or group the user may not give stays the user's own.
        if (::fchown(fd, owner_, group_) != 0 &&
            ::fchown(fd, static_cast<uid_t>(-1), group_) != 0) {
            // Neither may be given: the new file stays the user's own.
        }
        if (::fchmod(fd, mode_ & 07777) != 0) return Fail(errno);
    }
    if (unnamed_ && !LinkUnnamed()) return false;
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) return Fail(errno);
    tempPath_.clear();
    file_.Close();
    // The new name is made lasting too; a folder that cannot be synced changes nothing.
    const int folder =
        ::open(folder_.empty() ? "." : folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

}  // namespace vantrel
