#include <algorithm>

#include "files/little_endian.h"
#include "files/project_file.h"

namespace vantrel {

namespace {

void AppendPathField(std::string& out, const std::string& path) {
    const size_t length = std::min(path.size(), kMaxStoredPathLength);
    AppendLittleEndian(out, static_cast<uint32_t>(length + 1), 2);
    out.append(path, 0, length);
    out += '\0';
}

}  // namespace

std::string ProjectFileBytes(const CaptionProject& project, int32_t currentFrame) {
    std::string out(kProjectMagic, sizeof kProjectMagic);
    AppendLittleEndian(out, static_cast<uint32_t>(currentFrame), 4);
    AppendPathField(out, project.videoPath);
    AppendPathField(out, project.secondPath);
    AppendLittleEndian(out, static_cast<uint32_t>(project.captions.Count()), 4);
    for (const Caption* c = project.captions.Head(); c; c = c->next) WriteRecord(*c, out);
    return out;
}

WriteResult SaveProject(CaptionProject& project, const std::string& path) {
    const int32_t currentFrame = project.host ? project.host->CurrentFrame() : 0;
    const WriteResult result =
        ReplaceFileContent(path, ProjectFileBytes(project, currentFrame), project.host);
    if (result == WriteResult::Written) project.modified = 0;
    return result;
}

}  // namespace vantrel
