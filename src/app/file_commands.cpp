#include "app/file_commands.h"

#include <filesystem>
#include <memory>
#include <vector>

#include "app/file_dialog_requests.h"
#include "carriers/carrier_commands.h"
#include "carriers/embed_captions.h"
#include "editor/timing_pass.h"
#include "files/caption_export.h"
#include "files/caption_import.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "files/project_file.h"
#include "files/subtitle_import.h"
#include "files/timecode.h"
#include "files/transcript.h"
#include "mpeg/mpeg_commands.h"

namespace vantrel {

namespace {

TimecodeStyle TimecodeStyleOf(const std::string& filter) {
    return IsDropFrameFilter(filter) ? TimecodeStyle::DropFrame : TimecodeStyle::NonDropFrame;
}

}  // namespace

bool FileCommands::PromptSaveChanges() {
    if (!host_.Project().modified) return false;
    switch (dialogs_.AskYesNoCancel(kSaveChangesQuestion)) {
        case Dialogs::Answer::No:
            return false;
        case Dialogs::Answer::Yes:
            return !Save();
        case Dialogs::Answer::Cancel:
            break;
    }
    return true;
}

Dialogs::FileRequest FileCommands::InProjectFolder(Dialogs::FileRequest request) const {
    if (projectPath_.empty()) return request;
    const std::filesystem::path project(projectPath_);
    const std::filesystem::path folder = project.parent_path();
    if (request.defaultExtension.empty()) {
        // An open dialog starts in the folder; a project named without one is in the current.
        if (!folder.empty()) request.fileName = (folder / "").string();
    } else {
        std::filesystem::path name = project.filename();
        name.replace_extension(request.defaultExtension);
        request.fileName = (folder / name).string();
    }
    return request;
}

void FileCommands::New() {
    if (PromptSaveChanges()) return;
    host_.ReleaseCaptions();
    projectPath_.clear();
    host_.StartNewProject();
    host_.ShowCaptionsAgain();
}

void FileCommands::Open() {
    if (PromptSaveChanges()) return;
    host_.PauseIfPlaying();
    if (const auto path = dialogs_.ChooseFileToOpen(InProjectFolder(kOpenProjectRequest)))
        OpenProjectFile(*path);
}

void FileCommands::OpenProjectFile(const std::string& path) {
    host_.ReleaseCaptions();
    CaptionProject& project = host_.Project();
    ProjectContent read;
    const LoadResult result = LoadProject(project, path, &read);
    if (result == LoadResult::Loaded) {
        projectPath_ = path;
        // The new place of the video is a change to save.
        const bool relinked = host_.RelinkMissingVideo(read.header.currentFrame);
        host_.History().Clear(!relinked);
    }
    // The current project stays; what the damaged file still holds may become a new one, never
    // saved, so that the next Save asks for a name rather than writing over the damaged file.
    if (result == LoadResult::Damaged && !read.captions.Empty() &&
        dialogs_.AskYesNo(OpenReadableCaptionsQuestion(read.damage, read.captions.Count()))) {
        TakeProjectContent(project, read, path);
        projectPath_.clear();
        host_.History().Clear(false);
    }
    host_.Project().captions.NotifyChanged(kWholeList);
    host_.ShowCaptionsAgain();
}

bool FileCommands::RecoverProject(const std::string& recoveryFile, const std::string& projectPath) {
    host_.ReleaseCaptions();
    CaptionProject& project = host_.Project();
    ProjectContent read;
    File file;
    bool loaded = false;
    if (!file.Open(recoveryFile, File::Mode::ReadOwn)) {
        dialogs_.Inform(ErrorOpeningFileText(recoveryFile, file.Error()));
    } else {
        // Read as the project file itself, so that a relative video path is found from there.
        FileInput in(file);
        loaded = LoadProject(project, in, projectPath, &read) == LoadResult::Loaded;
    }
    if (loaded) {
        projectPath_ = projectPath;
        host_.RelinkMissingVideo(read.header.currentFrame);
        // Not what is on disk: changed until saved, whatever is undone.
        host_.History().Clear(false);
    }
    host_.Project().captions.NotifyChanged(kWholeList);
    host_.ShowCaptionsAgain();
    return loaded;
}

bool FileCommands::Save() {
    if (projectPath_.empty()) return SaveAs();
    if (SaveProject(host_.Project(), projectPath_) == WriteResult::Written) {
        host_.History().MarkSaved();
        return true;
    }
    // The failure has been reported; the user may choose another place.
    return SaveAs();
}

bool FileCommands::SaveAs() {
    host_.PauseIfPlaying();
    const auto chosen = dialogs_.ChooseFileToSave(InProjectFolder(kSaveProjectRequest));
    if (!chosen || SaveProject(host_.Project(), chosen->path) != WriteResult::Written) return false;
    projectPath_ = chosen->path;
    host_.History().MarkSaved();
    return true;
}

void FileCommands::ImportCaptions() {
    if (PromptSaveChanges()) return;
    host_.PauseIfPlaying();
    const auto path = dialogs_.ChooseFileToOpen(InProjectFolder(kImportRequest));
    if (!path) return;
    ImportHooks hooks;
    if (!IsSubtitleExtension(ExtensionOf(*path))) {
        const auto channel = dialogs_.ChooseOne(
            kImportChannelQuestion,
            {"Channel 1", "Channel 2", "Channel 3 (field 2)", "Channel 4 (field 2)"},
            importChannel_ - 1);
        if (!channel) return;
        importChannel_ = *channel + 1;
        hooks.decode.channel = importChannel_;
    }
    // The captions replaced go into the import's undo step.
    hooks.beforeClear = [this] {
        host_.ReleaseCaptions();
        host_.History().ReplaceAll(kImportStep);
    };
    hooks.readMpeg2 = [this](CaptionProject& project, File& source, CaptionList& into,
                             const DecodeOptions& options) {
        return ImportM2v(project, source, progress_, into, options).status == MpegStatus::Completed;
    };
    hooks.readVideo = [this](CaptionProject& project, const std::string& video, CaptionList& into,
                             const DecodeOptions& options) {
        return ImportVideo(project, video, progress_, into, options).status ==
               MpegStatus::Completed;
    };
    if (ImportCaptionFile(host_.Project(), *path, ExtensionOf(*path), hooks) ==
        ImportResult::Imported) {
        host_.Project().captions.NotifyChanged(kWholeList);
    }
    host_.ShowCaptionsAgain();
}

void FileCommands::ImportTranscript() {
    host_.PauseIfPlaying();
    const auto path = dialogs_.ChooseFileToOpen(InProjectFolder(kTranscriptRequest));
    if (!path) return;
    CaptionProject& project = host_.Project();
    std::vector<uint8_t> content;
    if (!ReadTextFile(project, *path, content)) return;
    // Read and laid out on the worker: a long transcript shows its progress and can be stopped.
    Transcript transcript;
    std::vector<std::unique_ptr<Caption>> captions;
    ProgressWorker worker(
        content.size(), OperationMode::TranscriptImport, project,
        [&](ProgressSink& progress, const std::atomic<int>& cancel, CaptionList&) {
            transcript = ReadTranscript(
                std::string_view(reinterpret_cast<const char*>(content.data()), content.size()),
                &cancel);
            const size_t blocks = std::max<size_t>(transcript.blocks.size(), 1);
            captions = MakeTranscriptCaptions(transcript, &cancel, [&](size_t done) {
                progress.SetProgress(content.size() * done / blocks);
            });
            MpegOutcome outcome;
            if (CancelRaised(&cancel)) outcome.status = MpegStatus::Cancelled;
            return outcome;
        });
    progress_.Run(worker);
    worker.Wait();
    const MpegOutcome& outcome = worker.Outcome();
    if (outcome.status == MpegStatus::OutOfMemory || outcome.status == MpegStatus::NotStarted) {
        project.host->Inform(outcome.message.empty() ? std::string(kTranscriptMemoryText)
                                                     : outcome.message);
    }
    if (outcome.status != MpegStatus::Completed) return;
    TellTranscriptFindings(project, *path, transcript, captions.size());
    if (captions.empty()) return;
    const int32_t playhead = project.host != nullptr ? project.host->CurrentFrame() : 0;
    host_.ReleaseCaptions();
    PlaceCaptionsStep(host_.History(), std::move(captions), playhead);
    host_.ShowCaptionsAgain();
}

namespace {

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

void FileCommands::WriteUntilDone(const Dialogs::FileRequest& request, const char* done,
                                  const std::function<bool(const Dialogs::ChosenFile&)>& write) {
    host_.PauseIfPlaying();
    while (const auto chosen = dialogs_.ChooseFileToSave(InProjectFolder(request))) {
        if (write(*chosen)) {
            host_.Tell(done + FileNameOf(chosen->path));
            return;
        }
    }
}

void FileCommands::ExportCaptions() {
    const Dialogs::FileRequest request = ExportRequest(host_.ShownTimecodes());
    WriteUntilDone(request, "Exported the captions to ",
                   [this, &request](const auto& c) { return Export(c, request); });
}

void FileCommands::GenerateTimingReport() {
    WriteUntilDone(kTimingReportRequest, "Wrote the timing report ",
                   [this](const auto& c) { return Export(c, kTimingReportRequest); });
}

void FileCommands::ConvertToSubtitle() {
    WriteUntilDone(kSubtitleRequest, "Converted the captions to ",
                   [this](const auto& c) { return Export(c, kSubtitleRequest); });
}

bool FileCommands::Export(const Dialogs::ChosenFile& chosen, const Dialogs::FileRequest& request) {
    // The name's extension picks the format, the dialog's own for a name of no format it writes;
    // the filter only chooses the timecodes.
    const CaptionFormat* format = FormatOfPath(chosen.path);
    if (!format || !format->writes || format->kind == FormatKind::Project) {
        format = FormatOfExtension(request.defaultExtension);
    }
    return ExportCaptionFile(host_.Project(), chosen.path, *format,
                             WriteOptions{.style = TimecodeStyleOf(chosen.filter)})
               .write == WriteResult::Written;
}

void FileCommands::Multiplex() {
    host_.PauseIfPlaying();
    for (;;) {
        const auto sourcePath = dialogs_.ChooseFileToOpen(InProjectFolder(kEmbedSourceRequest));
        if (!sourcePath) return;
        // A source that cannot be read is told before a destination is asked for.
        File source;
        if (!source.Open(*sourcePath, File::Mode::Read)) {
            dialogs_.Inform(ErrorOpeningFileText(*sourcePath, source.Error()));
            continue;
        }
        source.Close();
        const auto chosen = dialogs_.ChooseFileToSave(EmbedDestinationRequest(*sourcePath));
        if (!chosen) return;
        // Refused before anything was written (the destination is the source or cannot be
        // written, the source is no stream to carry captions): the user may choose again.
        const MpegStatus status =
            (IsVideoExtension(ExtensionOf(*sourcePath))
                 ? EmbedToFile(host_.Project(), *sourcePath, chosen->path, progress_)
                 : MultiplexToFile(host_.Project(), *sourcePath, chosen->path, progress_))
                .status;
        if (status == MpegStatus::Completed)
            host_.Tell("Embedded the captions into " + FileNameOf(chosen->path));
        if (status != MpegStatus::Refused && status != MpegStatus::NotAVideoStream) return;
    }
}

}  // namespace vantrel
