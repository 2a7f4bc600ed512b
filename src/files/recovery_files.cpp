#include "files/recovery_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "files/own_files.h"
#include "files/replacing_file.h"

namespace vantrel {

namespace {

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The inode behind the descriptor is still the one behind the name: a lock file removed and
// made again under the name while it was being opened is not the same lock.
bool StillNamed(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

std::string RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') return std::string(state) + "/vantrel";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/state/vantrel";
}

RecoveryFiles::~RecoveryFiles() {
    if (lock_ < 0) return;
    if (!written_) {
        ::unlink((base_ + ".path").c_str());
        ::unlink((base_ + ".lock").c_str());
    }
    ::close(lock_);
}

bool RecoveryFiles::Claim(const std::string& folder) {
    error_.clear();
    error_ = MakeOwnFolder(folder);
    if (!error_.empty()) return false;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const long long millis = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string base = folder + "/" + std::to_string(::getpid()) + "-" +
                                 std::to_string(millis) + "-" + std::to_string(attempt);
        // Locked before it has its name, so that no start ever sees it unlocked.
        const std::string fresh = base + ".new";
        const int fd = ::open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            error_ = std::strerror(errno);
            return false;
        }
        const bool named = ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                           ::link(fresh.c_str(), (base + ".lock").c_str()) == 0;
        const int err = errno;
        ::unlink(fresh.c_str());
        if (named) {
            lock_ = fd;
            base_ = base;
            projectFile_ = base + ".ccp";
            return true;
        }
        ::close(fd);
        if (err != EEXIST) {
            error_ = std::strerror(err);
            return false;
        }
    }
    error_ = std::strerror(EEXIST);
    return false;
}

bool RecoveryFiles::Write(std::string_view projectBytes, const std::string& projectPath) {
    if (lock_ < 0) return false;
    // The path first: a recovery file is only ever found with the path it belongs to.
    if (!Replace(base_ + ".path", projectPath) || !Replace(projectFile_, projectBytes))
        return false;
    written_ = true;
    return true;
}

bool RecoveryFiles::Replace(const std::string& path, std::string_view content) {
    ReplacingFile out;
    if (out.Open(path, ReplacingFile::Kind::Private) &&
        out.Output().Write(content.data(), content.size()) && out.Commit()) {
        return true;
    }
    error_ = out.Error().empty() ? out.Output().Error() : out.Error();
    return false;
}

void RecoveryFiles::Remove() {
    if (lock_ < 0) return;
    ::unlink(projectFile_.c_str());
    ::unlink((base_ + ".path").c_str());
    written_ = false;
}

LeftRecovery::LeftRecovery(std::string base, int lock) : base_(std::move(base)), lock_(lock) {}

LeftRecovery::LeftRecovery(LeftRecovery&& other) noexcept
    : base_(std::move(other.base_)), lock_(other.lock_) {
    other.lock_ = -1;
}

LeftRecovery& LeftRecovery::operator=(LeftRecovery&& other) noexcept {
    if (this != &other) {
        if (lock_ >= 0) ::close(lock_);
        base_ = std::move(other.base_);
        lock_ = other.lock_;
        other.lock_ = -1;
    }
    return *this;
}

LeftRecovery::~LeftRecovery() {
    if (lock_ >= 0) ::close(lock_);
}

std::string LeftRecovery::ProjectPath() const {
    constexpr size_t kLongestPath = 65536;
    return ReadOwnFile(base_ + ".path", kLongestPath).value_or(std::string());
}

std::time_t LeftRecovery::Changed() const {
    struct stat st {};
    return ::stat(ProjectFile().c_str(), &st) == 0 ? st.st_mtime : 0;
}

void LeftRecovery::Discard() {
    if (lock_ < 0) return;
    ::unlink(ProjectFile().c_str());
    ::unlink((base_ + ".path").c_str());
    ::unlink((base_ + ".lock").c_str());
    ::close(lock_);
    lock_ = -1;
}

std::vector<LeftRecovery> FindLeftRecoveries(const std::string& folder) {
    std::vector<LeftRecovery> left;
    // What others could have put there is not offered.
    if (!OwnFolderProblem(folder).empty()) return left;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return left;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!EndsWith(name, ".lock")) continue;
        const std::string lockPath = folder + "/" + std::string(name);
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // A running window holds its lock.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillNamed(fd, lockPath)) {
            ::close(fd);
            continue;
        }
        LeftRecovery found(lockPath.substr(0, lockPath.size() - 5), fd);
        if (::access(found.ProjectFile().c_str(), F_OK) == 0) {
            left.push_back(std::move(found));
        } else {
            found.Discard();
        }
    }
    ::closedir(dir);
    std::stable_sort(left.begin(), left.end(), [](const LeftRecovery& a, const LeftRecovery& b) {
        return a.Changed() > b.Changed();
    });
    return left;
}

}  // namespace vantrel
