// The program's own files (recovery files, cache entries): kept in folders only the user may
// write, so that nobody else can plant a link or a file there, and read only when they are
// regular files of a bounded size, never through a link, so that a pipe, a device or a huge
// file put in their place neither hangs the program nor fills its memory.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vantrel {

// Makes `folder` and any missing folder above it, each new one only the user may enter. ""
// when the folder is usable as the program's own; else why not (it belongs to another user,
// others may write to it, it is not a folder, or the system's reason).
std::string MakeOwnFolder(const std::string& folder);

// Whether `folder` exists and is the user's own as MakeOwnFolder requires; "" when it is, else
// why not.
std::string OwnFolderProblem(const std::string& folder);

// The bytes of the regular file at `path` when it has at most `limit` of them; nothing when it
// is missing, a link, not a regular file, longer, or cannot be read.
std::optional<std::string> ReadOwnFile(const std::string& path, size_t limit);

}  // namespace vantrel
