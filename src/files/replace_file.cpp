#include "files/replace_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

#include "files/file.h"
#include "files/file_messages.h"

namespace vantrel {

namespace {

// The file a write to `path` lands in: the target of a symbolic link, else the path itself.
std::string ResolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

std::string DirectoryPart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new hidden file in the target's folder; false with the reason when none can be.
bool CreateBeside(const std::string& target, File& file, std::string& tempPath) {
    std::random_device seed;
    std::mt19937 rng(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = DirectoryPart(target) + "." + NamePart(target) + "." +
                   std::to_string(rng() % 1000000) + ".tmp";
        if (file.Open(tempPath, File::Mode::CreateNew)) return true;
        if (file.Error() != std::strerror(EEXIST)) return false;
    }
    return false;
}

}  // namespace

WriteResult ReplaceFileContent(const std::string& path, std::string_view content,
                               ProjectHost* host) {
    auto fail = [&](const std::string& reason) {
        if (host) host->Inform(ErrorSavingFileText(path, reason));
        return WriteResult::Failed;
    };
    const std::string target = ResolvedTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return fail(std::strerror(EISDIR));
    File file;
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device or a pipe is written to where it is; renaming would replace it.
        if (!file.Open(target, File::Mode::Create) || !file.Write(content.data(), content.size())) {
            return fail(file.Error());
        }
        return WriteResult::Written;
    }

    std::string tempPath;
    if (!CreateBeside(target, file, tempPath)) return fail(file.Error());
    std::string reason;
    if (!file.Write(content.data(), content.size()) || !file.Sync()) reason = file.Error();
    file.Close();
    // The new file takes the permissions of the one it replaces; one we may not change keeps
    // the default permissions of a new file.
    if (reason.empty() && exists && ::chmod(tempPath.c_str(), existing.st_mode & 07777) != 0 &&
        errno != EPERM) {
        reason = std::strerror(errno);
    }
    if (reason.empty() && ::rename(tempPath.c_str(), target.c_str()) != 0) {
        reason = std::strerror(errno);
    }
    if (!reason.empty()) {
        ::unlink(tempPath.c_str());
        return fail(reason);
    }
    return WriteResult::Written;
}

}  // namespace vantrel
