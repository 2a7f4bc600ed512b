#include "files/own_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <new>

#include "files/file.h"

namespace vantrel {

std::string MakeOwnFolder(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (!part.empty() && ::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return std::strerror(errno);
        }
        if (slash == std::string::npos) break;
    }
    return OwnFolderProblem(folder);
}

std::string OwnFolderProblem(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) return std::strerror(errno);
    if (!S_ISDIR(st.st_mode)) return "it is not a folder";
    if (st.st_uid != ::geteuid()) return "it belongs to another user";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) return "others may write to it";
    return {};
}

std::optional<std::string> ReadOwnFile(const std::string& path, size_t limit) {
    File file;
    if (!file.Open(path, File::Mode::ReadOwn)) return std::nullopt;
    const int64_t length = file.Length();
    if (length < 0 || static_cast<uint64_t>(length) > limit) return std::nullopt;
    try {
        // One byte more than it holds: a file that grew meanwhile is past its bound.
        std::string bytes(static_cast<size_t>(length) + 1, '\0');
        const size_t got = file.Read(bytes.data(), bytes.size());
        if (file.Failed() || got != static_cast<size_t>(length)) return std::nullopt;
        bytes.resize(got);
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace vantrel
