#include "files/file.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "files/file_messages.h"
#include "files/replacing_file.h"
#include "model/caption_project.h"

namespace vantrel {

namespace {

// A name such as http://host/a.m2v, which no file on this computer has.
bool IsUrl(const std::string& path) {
    return path.find("://") != std::string::npos;
}

}  // namespace

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      regular_(other.regular_),
      cancel_(other.cancel_),
      errno_(other.errno_),
      path_(std::move(other.path_)),
      error_(std::move(other.error_)) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        regular_ = other.regular_;
        cancel_ = other.cancel_;
        errno_ = other.errno_;
        path_ = std::move(other.path_);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool File::Open(const std::string& path, Mode mode, const std::atomic<int>* cancel) {
    Close();
    path_ = path;
    cancel_ = cancel;
    ClearError();
    if (CancelRaised(cancel)) {
        SetError(ECANCELED);
        return false;
    }
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read:
            flags |= O_RDONLY;
            break;
        case Mode::Create:
            flags |= O_WRONLY | O_CREAT | O_TRUNC;
            break;
        case Mode::ReadWrite:
            flags |= O_RDWR;
            break;
        case Mode::CreateNew:
            flags |= O_WRONLY | O_CREAT | O_EXCL;
            break;
        case Mode::ReadRegular:
            flags |= O_RDONLY | O_NONBLOCK;
            break;
        case Mode::ReadOwn:
            flags |= O_RDONLY | O_NONBLOCK | O_NOFOLLOW;
            break;
    }
    do {
        fd_ = ::open(path.c_str(), flags, 0666);
    } while (fd_ < 0 && errno == EINTR && !CancelRaised(cancel));
    if (fd_ < 0) {
        const int reason = errno == EINTR ? ECANCELED : errno;
        SetError(reason);
        // Its folder "http:" is missing, but the user named an address, not a file.
        if ((reason == ENOENT || reason == ENOTDIR) && IsUrl(path)) error_ = kNotALocalFileText;
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        Close();
        SetError(EISDIR);
        return false;
    }
    regular_ = S_ISREG(st.st_mode);
    if ((flags & O_NONBLOCK) != 0) {
        if (!regular_) {
            Close();
            SetError(EINVAL);
            error_ = "Not a regular file";
            return false;
        }
        ::fcntl(fd_, F_SETFL, O_RDONLY);
    }
    return true;
}

void File::Adopt(int fd, const std::string& path) {
    Close();
    ClearError();
    fd_ = fd;
    path_ = path;
    regular_ = true;
    cancel_ = nullptr;
}

void File::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

size_t File::Read(void* data, size_t n) {
    ClearError();
    size_t got = 0;
    auto* p = static_cast<char*>(data);
    while (got < n) {
        if (!WaitForInput()) break;
        const ssize_t r = ::read(fd_, p + got, n - got);
        if (r < 0) {
            if (errno == EINTR && !CancelRaised(cancel_)) continue;
            SetError(errno == EINTR ? ECANCELED : errno);
            break;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return got;
}

bool File::WaitForInput() {
    if (cancel_ == nullptr || regular_) return true;
    constexpr int kLookMilliseconds = 100;
    pollfd wait{fd_, POLLIN, 0};
    while (true) {
        const int ready = ::poll(&wait, 1, kLookMilliseconds);
        if (ready > 0 || (ready < 0 && errno != EINTR)) return true;  // the read tells what it is
        if (CancelRaised(cancel_)) {
            SetError(ECANCELED);
            return false;
        }
    }
}

bool File::Write(const void* data, size_t n) {
    ClearError();
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd_, p, n);
        if (w < 0) {
            if (errno == EINTR) continue;
            SetError(errno);
            return false;
        }
        p += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

int64_t File::Length() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return st.st_size;
}

bool File::Seek(int64_t offset) {
    ClearError();
    if (::lseek(fd_, offset, SEEK_SET) < 0) {
        SetError(errno);
        return false;
    }
    return true;
}

int64_t File::Tell() const {
    return fd_ < 0 ? 0 : ::lseek(fd_, 0, SEEK_CUR);
}

bool File::Sync() {
    ClearError();
    if (::fsync(fd_) != 0) {
        SetError(errno);
        return false;
    }
    return true;
}

void File::SetError(int err) {
    errno_ = err;
    error_ = std::strerror(err);
}

void File::ClearError() {
    errno_ = 0;
    error_.clear();
}

WriteResult ReplaceFileContent(const std::string& path, std::string_view content, ProjectHost* host,
                               const std::atomic<int>* cancel) {
    if (CancelRaised(cancel)) return WriteResult::Cancelled;
    auto fail = [&](const std::string& reason) {
        if (host) host->Inform(ErrorSavingFileText(path, reason));
        return WriteResult::Failed;
    };
    ReplacingFile out;
    if (!out.Open(path)) return fail(out.Error());
    if (!out.Output().Write(content.data(), content.size())) return fail(out.Output().Error());
    if (CancelRaised(cancel)) return WriteResult::Cancelled;
    if (!out.Commit()) return fail(out.Error());
    return WriteResult::Written;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

LocalFileKind CheckLocalFile(const std::string& path, std::string* absolute) {
    if (path.empty() || IsUrl(path)) return LocalFileKind::NotLocal;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? LocalFileKind::Missing
                                                   : LocalFileKind::NotLocal;
    }
    if (!S_ISREG(st.st_mode)) return LocalFileKind::NotLocal;
    if (absolute != nullptr) {
        std::error_code error;
        const std::filesystem::path whole = std::filesystem::absolute(path, error);
        if (error) return LocalFileKind::NotLocal;
        *absolute = whole.lexically_normal().string();
    }
    return LocalFileKind::Regular;
}

std::string ExtensionOf(std::string_view path) {
    const size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos) return {};
    return std::string(name.substr(dot + 1));
}

std::string LowerCaseAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace vantrel
