// Writing a file so that it is never left half-written: the content goes into a new file
// beside the target, which then replaces the target in one rename.
#pragma once

#include <string>
#include <string_view>

#include "model/project_host.h"

namespace vantrel {

enum class WriteResult {
    Written,
    Failed,  // reported as "Error saving file " + path with the system's reason
};

// Writes `content` as the file at `path`. A target that exists keeps its permissions; a
// symbolic link keeps pointing where it did, and the file it points to is replaced; a device or
// a pipe is written to directly. On failure a regular target is as it was, the new file is
// removed, and `host` (when given) is told.
WriteResult ReplaceFileContent(const std::string& path, std::string_view content,
                               ProjectHost* host);

}  // namespace vantrel
