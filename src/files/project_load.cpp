#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

#include "files/file_messages.h"
#include "files/little_endian.h"
#include "files/project_file.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

bool ReadInt(ByteInput& in, int bytes, uint32_t& value) {
    uint8_t buffer[4];
    if (in.Read(buffer, static_cast<size_t>(bytes)) != static_cast<size_t>(bytes)) return false;
    value = ReadLittleEndian(buffer, bytes);
    return true;
}

// A path field: its signed 16-bit length, then that many bytes; the path ends at the first
// zero byte among them.
bool ReadPathField(ByteInput& in, std::string& path) {
    uint32_t raw = 0;
    if (!ReadInt(in, 2, raw)) return false;
    const auto length = static_cast<int16_t>(raw);
    if (length < 0) return false;
    std::string field(static_cast<size_t>(length), '\0');
    if (in.Read(field.data(), field.size()) != field.size()) return false;
    path.assign(field.c_str());
    return true;
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The video where the project says it is, or else beside the project file: a relative path
// from the project's folder, an absolute one by its file name.
std::string LocateVideo(const std::string& videoPath, const std::string& projectPath) {
    if (videoPath.empty() || projectPath.empty() || Exists(videoPath)) return videoPath;
    const fs::path video(videoPath);
    const fs::path folder = fs::path(projectPath).parent_path();
    const fs::path candidate = video.is_relative() ? folder / video : folder / video.filename();
    return Exists(candidate) ? candidate.string() : videoPath;
}

}  // namespace

HeaderCheck ReadProjectHeader(ByteInput& in, ProjectHeader& header) {
    char magic[sizeof kProjectMagic];
    if (in.Read(magic, sizeof magic) != sizeof magic ||
        !std::equal(magic, magic + sizeof magic, kProjectMagic)) {
        return HeaderCheck::NotAProject;
    }
    uint32_t frame = 0, count = 0;
    if (!ReadInt(in, 4, frame) || !ReadPathField(in, header.videoPath) ||
        !ReadPathField(in, header.secondPath) || !ReadInt(in, 4, count)) {
        return HeaderCheck::Damaged;
    }
    header.currentFrame = static_cast<int32_t>(frame);
    header.captionCount = static_cast<int32_t>(count);
    return HeaderCheck::Valid;
}

void LoadProjectContent(CaptionProject& project, const ProjectHeader& header, ByteInput& in,
                        const std::string& projectPath) {
    project.ClearCaptions();
    if (project.host) project.host->CloseVideo();
    project.videoPath = LocateVideo(header.videoPath, projectPath);
    project.secondPath = header.secondPath;

    // Records are read as they come, so memory follows the file, not its caption count.
    for (int32_t k = 0; k < header.captionCount; ++k) {
        auto caption = std::make_unique<Caption>();
        if (!ReadRecord(*caption, in)) break;
        project.captions.Insert(caption.release());
    }

    if (project.host && !project.videoPath.empty()) {
        project.host->OpenVideo(project.videoPath);
        if (project.host->HasVideo()) project.host->StepFrames(header.currentFrame);
    }
    project.modified = 0;
}

LoadResult LoadProject(CaptionProject& project, const std::string& path) {
    auto inform = [&](const std::string& text) {
        if (project.host) project.host->Inform(text);
    };
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        inform(ErrorOpeningFileText(path, file.Error()));
        return LoadResult::OpenFailed;
    }
    FileInput in(file);
    ProjectHeader header;
    const HeaderCheck check = ReadProjectHeader(in, header);
    if (in.Failed()) {
        inform(ErrorOpeningFileText(path, file.Error()));
        return LoadResult::OpenFailed;
    }
    if (check == HeaderCheck::NotAProject) {
        inform(NotAProjectText(path));
        return LoadResult::NotAProject;
    }
    if (check == HeaderCheck::Damaged) {
        inform(DamagedProjectText(path));
        return LoadResult::Damaged;
    }
    LoadProjectContent(project, header, in, path);
    return LoadResult::Loaded;
}

}  // namespace vantrel
