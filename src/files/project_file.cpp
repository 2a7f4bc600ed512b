#include "files/project_file.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
#include <unordered_map>
#include <vector>

#include "codec/code_string.h"
#include "codec/encoder.h"
#include "files/file_messages.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

void AppendLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

uint32_t ReadLittleEndian(const uint8_t* bytes, int count) {
    uint32_t value = 0;
    for (int k = count - 1; k >= 0; --k) value = value << 8 | bytes[k];
    return value;
}

void AppendPathField(std::string& out, const std::string& path) {
    const size_t length = std::min(path.size(), kMaxStoredPathLength);
    AppendLittleEndian(out, static_cast<uint32_t>(length + 1), 2);
    out.append(path, 0, length);
    out += '\0';
}

bool ReadInt(ByteInput& in, int bytes, uint32_t& value) {
    uint8_t buffer[4];
    if (in.Read(buffer, static_cast<size_t>(bytes)) != static_cast<size_t>(bytes)) return false;
    value = ReadLittleEndian(buffer, bytes);
    return true;
}

enum class PathRead { Read, Cut, Negative };

// A path field: its signed 16-bit length, then that many bytes; the path ends at the first
// zero byte among them.
PathRead ReadPathField(ByteInput& in, std::string& path) {
    uint32_t raw = 0;
    if (!ReadInt(in, 2, raw)) return PathRead::Cut;
    const auto length = static_cast<int16_t>(raw);
    if (length < 0) return PathRead::Negative;
    std::string field(static_cast<size_t>(length), '\0');
    if (in.Read(field.data(), field.size()) != field.size()) return PathRead::Cut;
    path.assign(field.c_str());
    return PathRead::Read;
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

// Reads the header; when Damaged, `damage` says what is wrong.
HeaderCheck ReadHeader(ByteInput& in, ProjectHeader& header, ProjectDamage& damage) {
    char magic[sizeof kProjectMagic];
    if (in.Read(magic, sizeof magic) != sizeof magic ||
        !std::equal(magic, magic + sizeof magic, kProjectMagic)) {
        return HeaderCheck::NotAProject;
    }
    auto damaged = [&](ProjectDamage::Kind kind) {
        damage.kind = kind;
        return HeaderCheck::Damaged;
    };
    uint32_t frame = 0, count = 0;
    if (!ReadInt(in, 4, frame)) return damaged(ProjectDamage::HeaderCut);
    for (std::string* path : {&header.videoPath, &header.secondPath}) {
        const PathRead read = ReadPathField(in, *path);
        if (read == PathRead::Cut) return damaged(ProjectDamage::HeaderCut);
        if (read == PathRead::Negative) return damaged(ProjectDamage::NegativePath);
    }
    if (!ReadInt(in, 4, count)) return damaged(ProjectDamage::HeaderCut);
    header.currentFrame = static_cast<int32_t>(frame);
    header.captionCount = static_cast<int32_t>(count);
    if (header.captionCount < 0) {
        damage.value = header.captionCount;
        return damaged(ProjectDamage::NegativeCount);
    }
    return HeaderCheck::Valid;
}

// Reads one record into `caption` (timing mode, screen flag, frames, and the code string
// rendered onto its screen); what is wrong with it goes into `damage`, whose kind stays None
// for a valid record.
void ReadRecord(Caption& caption, ByteInput& in, ProjectDamage& damage) {
    uint8_t lengthBytes[2];
    const size_t got = in.Read(lengthBytes, 2);
    if (got != 2) {
        damage.kind = got == 0 ? ProjectDamage::EndsBeforeRecord : ProjectDamage::EndsInsideRecord;
        return;
    }
    const size_t length = ReadLittleEndian(lengthBytes, 2);
    if (length < kMinRecordSize) {
        damage.kind = ProjectDamage::RecordTooShort;
        damage.value = static_cast<int64_t>(length);
        return;
    }
    // Each record its own buffer; a zero byte after the last byte read ends the code string
    // there at the latest.
    std::vector<uint8_t> record(length - 2 + 1, 0);
    if (in.Read(record.data(), length - 2) != length - 2) {
        damage.kind = ProjectDamage::EndsInsideRecord;
        return;
    }
    const int64_t start = static_cast<int32_t>(ReadLittleEndian(&record[2], 4));
    const int64_t end = static_cast<int32_t>(ReadLittleEndian(&record[6], 4));
    auto wrong = [&](ProjectDamage::Kind kind, int64_t value) {
        damage.kind = kind;
        damage.value = value;
        damage.start = start;
    };
    if (record[0] < Normal || record[0] > Manual) {
        wrong(ProjectDamage::BadTimingMode, record[0]);
    } else if (start < 0 || start > kMaxEncodedFrame) {
        wrong(ProjectDamage::StartOutOfRange, start);
    } else if (end < start) {
        wrong(ProjectDamage::EndBeforeStart, end);
    } else if (end > kMaxCaptionEndFrame) {
        wrong(ProjectDamage::EndOutOfRange, end);
    }
    if (damage.kind != ProjectDamage::None) return;
    caption.timingMode = static_cast<int8_t>(record[0]);
    caption.startFrame = static_cast<int32_t>(start);
    caption.endFrame = static_cast<int32_t>(end);
    LoadCodeString(caption, std::span<const uint8_t>(record).subspan(kRecordFixedSize - 2));
    // Rendering marks the screen valid; the record's flag is kept as it was saved.
    caption.screenValid = record[1];
}

enum class ProjectRead { Read, NotAProject, Damaged, ReadFailed, Cancelled };

// Reads the header and then every record into the content's own list, up to the first
// damage. Records are read as they come, so memory follows the file, not its caption count.
ProjectRead ReadProjectFile(ByteInput& in, ProjectContent& content,
                            const std::atomic<int>* cancel) {
    ProjectDamage& damage = content.damage;
    const HeaderCheck check = ReadHeader(in, content.header, damage);
    if (in.Failed()) return ProjectRead::ReadFailed;
    if (check == HeaderCheck::NotAProject) return ProjectRead::NotAProject;
    if (check == HeaderCheck::Damaged) return ProjectRead::Damaged;
    damage.count = content.header.captionCount;
    std::unordered_map<int32_t, int64_t> starts;  // the record that starts on each frame
    CancelPoll cancelled(cancel);
    for (int64_t k = 1; k <= damage.count; ++k) {
        if (cancelled()) return ProjectRead::Cancelled;
        auto caption = std::make_unique<Caption>();
        ReadRecord(*caption, in, damage);
        // A read error is no damaged record: the rest of the file is there but unread.
        if (in.Failed()) return ProjectRead::ReadFailed;
        if (damage.kind == ProjectDamage::None) {
            const auto [earlier, first] = starts.try_emplace(caption->startFrame, k);
            if (!first) {
                damage.kind = ProjectDamage::SameStart;
                damage.value = caption->startFrame;
                damage.earlier = earlier->second;
            }
        }
        if (damage.kind != ProjectDamage::None) {
            damage.record = k;
            return ProjectRead::Damaged;
        }
        content.captions.Insert(std::move(caption));
    }
    // Our files end with their last record; anything after it says that the count is wrong.
    uint8_t more = 0;
    const bool goesOn = in.Read(&more, 1) == 1;
    if (in.Failed()) return ProjectRead::ReadFailed;
    if (goesOn) {
        damage.kind = ProjectDamage::BytesAfterRecords;
        return ProjectRead::Damaged;
    }
    return ProjectRead::Read;
}

}  // namespace

HeaderCheck ReadProjectHeader(ByteInput& in, ProjectHeader& header) {
    ProjectDamage damage;
    return ReadHeader(in, header, damage);
}

void TakeProjectContent(CaptionProject& project, ProjectContent& content, const std::string& path) {
    project.ReplaceCaptions(content.captions);
    if (project.host) project.host->CloseVideo();
    project.videoPath = LocateVideo(content.header.videoPath, path);
    project.relativeVideoPath = fs::path(content.header.videoPath).is_relative();
    project.secondPath = content.header.secondPath;
    if (project.host && !project.videoPath.empty()) {
        project.host->OpenVideo(project.videoPath);
        if (project.host->HasVideo()) project.host->StepFrames(content.header.currentFrame);
    }
}

LoadResult LoadProject(CaptionProject& project, ByteInput& in, const std::string& path,
                       ProjectContent* read) {
    ProjectContent own;
    ProjectContent& content = read ? *read : own;
    auto inform = [&](const std::string& text, LoadResult result) {
        if (project.host) project.host->Inform(text);
        return result;
    };
    switch (ReadProjectFile(in, content, &project.cancel)) {
        case ProjectRead::Read:
            break;
        case ProjectRead::NotAProject:
            return inform(NotAProjectText(path), LoadResult::NotAProject);
        case ProjectRead::Damaged:
            return inform(DamagedProjectText(path, content.damage), LoadResult::Damaged);
        case ProjectRead::ReadFailed:
            // A read of a pipe given up on a cancel request is no failure to report.
            if (CancelRaised(&project.cancel)) return LoadResult::Cancelled;
            return inform(ErrorOpeningFileText(path, in.Error()), LoadResult::OpenFailed);
        case ProjectRead::Cancelled:
            return LoadResult::Cancelled;
    }
    TakeProjectContent(project, content, path);
    project.modified = false;
    return LoadResult::Loaded;
}

LoadResult LoadProject(CaptionProject& project, const std::string& path, ProjectContent* read) {
    File file;
    if (!file.Open(path, File::Mode::Read, &project.cancel)) {
        if (CancelRaised(&project.cancel)) return LoadResult::Cancelled;
        if (project.host) project.host->Inform(ErrorOpeningFileText(path, file.Error()));
        return LoadResult::OpenFailed;
    }
    FileInput in(file);
    return LoadProject(project, in, path, read);
}

void WriteRecord(const Caption& caption, std::string& out) {
    const CodeString code = BuildCodeString(caption, kRecordCodeCapacity);
    AppendLittleEndian(out, static_cast<uint32_t>(code.size() + kMinRecordSize), 2);
    out += static_cast<char>(caption.timingMode);
    out += static_cast<char>(caption.screenValid);
    AppendLittleEndian(out, static_cast<uint32_t>(caption.startFrame), 4);
    AppendLittleEndian(out, static_cast<uint32_t>(caption.endFrame), 4);
    out.append(code.begin(), code.end());
    out += '\0';
}

std::string StoredVideoPath(const CaptionProject& project, const std::string& projectPath) {
    const std::string& video = project.videoPath;
    if (video.empty() || !project.relativeVideoPath) return video;
    std::error_code error;
    const fs::path absolute = fs::absolute(video, error).lexically_normal();
    if (error || projectPath.empty()) return error ? video : absolute.string();
    const fs::path folder = fs::absolute(projectPath, error).parent_path().lexically_normal();
    const fs::path relative = absolute.lexically_relative(folder);
    return error || relative.empty() ? absolute.string() : relative.string();
}

std::string ProjectFileBytes(const CaptionProject& project, int32_t currentFrame,
                             const std::string& projectPath) {
    std::string out(kProjectMagic, sizeof kProjectMagic);
    AppendLittleEndian(out, static_cast<uint32_t>(currentFrame), 4);
    AppendPathField(out, StoredVideoPath(project, projectPath));
    AppendPathField(out, project.secondPath);
    AppendLittleEndian(out, static_cast<uint32_t>(project.captions.Count()), 4);
    CancelPoll cancelled(&project.cancel);
    for (const Caption* c = project.captions.Head(); c && !cancelled(); c = c->next) {
        WriteRecord(*c, out);
    }
    return out;
}

WriteResult SaveProject(CaptionProject& project, const std::string& path) {
    const int32_t currentFrame = project.host ? project.host->CurrentFrame() : 0;
    const WriteResult result = ReplaceFileContent(
        path, ProjectFileBytes(project, currentFrame, path), project.host, &project.cancel);
    if (result == WriteResult::Written) project.modified = false;
    return result;
}

}  // namespace vantrel
