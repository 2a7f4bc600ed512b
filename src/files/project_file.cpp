#include "files/project_file.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>
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

LoadResult LoadProject(CaptionProject& project, ByteInput& in, const std::string& path) {
    auto inform = [&](const std::string& text) {
        if (project.host) project.host->Inform(text);
    };
    ProjectHeader header;
    const HeaderCheck check = ReadProjectHeader(in, header);
    if (in.Failed()) {
        inform(ErrorOpeningFileText(path, in.Error()));
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

    // Records are read as they come, so memory follows the file, not its caption count.
    CaptionList read;
    size_t outOfRange = 0;
    CancelPoll cancelled(&project.cancel);
    for (int32_t k = 0; k < header.captionCount; ++k) {
        if (cancelled()) return LoadResult::Cancelled;
        auto caption = std::make_unique<Caption>();
        const RecordRead record = ReadRecord(*caption, in);
        if (record == RecordRead::Damaged) break;
        if (record == RecordRead::OutOfRange) {
            ++outOfRange;
            continue;
        }
        read.Insert(std::move(caption));
    }
    if (in.Failed()) {  // not a damaged record: the rest of the file is there but unread
        inform(ErrorOpeningFileText(path, in.Error()));
        return LoadResult::OpenFailed;
    }

    project.ReplaceCaptions(read);
    if (project.host) project.host->CloseVideo();
    project.videoPath = LocateVideo(header.videoPath, path);
    project.secondPath = header.secondPath;
    if (project.host && !project.videoPath.empty()) {
        project.host->OpenVideo(project.videoPath);
        if (project.host->HasVideo()) project.host->StepFrames(header.currentFrame);
    }
    project.modified = false;
    if (outOfRange > 0) inform(RecordsOutOfRangeText(path, outOfRange));
    return LoadResult::Loaded;
}

LoadResult LoadProject(CaptionProject& project, const std::string& path) {
    File file;
    if (!file.Open(path, File::Mode::Read)) {
        if (project.host) project.host->Inform(ErrorOpeningFileText(path, file.Error()));
        return LoadResult::OpenFailed;
    }
    FileInput in(file);
    return LoadProject(project, in, path);
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

RecordRead ReadRecord(Caption& caption, ByteInput& in) {
    uint8_t lengthBytes[2];
    if (in.Read(lengthBytes, 2) != 2) return RecordRead::Damaged;
    const size_t length = ReadLittleEndian(lengthBytes, 2);
    if (length < kMinRecordSize) return RecordRead::Damaged;
    // Each record its own buffer; a zero byte after the last byte read ends the code string
    // there at the latest.
    std::vector<uint8_t> record(length - 2 + 1, 0);
    if (in.Read(record.data(), length - 2) != length - 2) return RecordRead::Damaged;
    caption.timingMode = static_cast<int8_t>(record[0]);
    caption.screenValid = record[1];
    caption.startFrame = static_cast<int32_t>(ReadLittleEndian(&record[2], 4));
    caption.endFrame = static_cast<int32_t>(ReadLittleEndian(&record[6], 4));
    const uint8_t screenValid = caption.screenValid;
    LoadCodeString(caption, std::span<const uint8_t>(record).subspan(kRecordFixedSize - 2));
    // Rendering marks the screen valid; the record's flag is kept as it was saved.
    caption.screenValid = screenValid;
    // A caption shown at the last frame may end past it, as the decoder makes it.
    if (caption.startFrame < 0 || caption.startFrame > kMaxEncodedFrame || caption.endFrame < 0) {
        return RecordRead::OutOfRange;
    }
    return RecordRead::Read;
}

std::string ProjectFileBytes(const CaptionProject& project, int32_t currentFrame) {
    std::string out(kProjectMagic, sizeof kProjectMagic);
    AppendLittleEndian(out, static_cast<uint32_t>(currentFrame), 4);
    AppendPathField(out, project.videoPath);
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
    const WriteResult result = ReplaceFileContent(path, ProjectFileBytes(project, currentFrame),
                                                  project.host, &project.cancel);
    if (result == WriteResult::Written) project.modified = false;
    return result;
}

}  // namespace vantrel
