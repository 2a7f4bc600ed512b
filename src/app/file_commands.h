// The File menu's commands on projects and caption files: each asks for a file, calls the core
// operation that the command-line tool uses too, and brings the caption window and the
// timeline up to date. The project path lives here: only these commands change it.
#pragma once

#include <functional>
#include <string>

#include "app/dialogs.h"
#include "editor/edit_history.h"
#include "files/timecode.h"
#include "model/caption_project.h"
#include "mpeg/progress_worker.h"

namespace vantrel {

// What the commands need of the main view.
class FileCommandsHost {
  public:
    virtual ~FileCommandsHost() = default;

    virtual CaptionProject& Project() = 0;
    // Save marks its step saved, Open and New forget it, Import is a step of it.
    virtual EditHistory& History() = 0;
    virtual void PauseIfPlaying() = 0;
    // Before the captions may be replaced or freed: the caption window ends its edit and forgets
    // the caption it shows, the timeline forgets its caption.
    virtual void ReleaseCaptions() = 0;
    // Afterwards: both show the captions at the current frame again.
    virtual void ShowCaptionsAgain() = 0;
    // The video side of New: empty the list and the history, close the video, and let the user
    // choose a video (or none).
    virtual void StartNewProject() = 0;
    // The project names a video that is not there: says which, lets the user choose where it
    // is now and opens it at `frame`. True when the project has the chosen video instead.
    virtual bool RelinkMissingVideo(int32_t /*frame*/) { return false; }
    // A file was written: what, naming it, where the user looks without being stopped.
    virtual void Tell(const std::string& /*done*/) {}
    // The timecodes the window shows, which an export opens on.
    virtual TimecodeStyle ShownTimecodes() const { return TimecodeStyle::NonDropFrame; }
};

class FileCommands {
  public:
    // `progress` shows the MPEG-2 operations (the progress dialog).
    FileCommands(FileCommandsHost& host, Dialogs& dialogs, ProgressDisplay& progress)
        : host_(host), dialogs_(dialogs), progress_(progress) {}

    // True when the command that asks is to be abandoned.
    bool PromptSaveChanges();
    void New();
    void Open();
    // True when the project was written.
    bool Save();
    bool SaveAs();
    // Opens the project at `path`; a file that is not a project is reported and changes nothing.
    // A damaged one is reported too, and the captions before its damaged record, when there are
    // any, are offered as a new untitled project.
    void OpenProjectFile(const std::string& path);
    // Opens a recovery file as the project that belongs at `projectPath` (empty: untitled),
    // changed, so that Save writes it there. False when it cannot be read (reported).
    bool RecoverProject(const std::string& recoveryFile, const std::string& projectPath);

    void ImportCaptions();
    // A plain text transcript, one caption per block of lines, placed two seconds each from the
    // current frame (or after the last caption) as one step, for the timing keys to retime.
    void ImportTranscript();
    void ExportCaptions();
    void GenerateTimingReport();
    void ConvertToSubtitle();
    void Multiplex();

    // The file the project was last opened from or saved to; empty for a new project.
    const std::string& ProjectPath() const { return projectPath_; }
    // `request` as the project's dialogs ask it: starting in the project's folder, and where a
    // file is saved (a default extension), proposing the project's name with that extension.
    // Unchanged for a project never saved.
    Dialogs::FileRequest InProjectFolder(Dialogs::FileRequest request) const;

  private:
    // Writes the captions as the chosen file, in the format its name has (else the request's).
    bool Export(const Dialogs::ChosenFile& chosen, const Dialogs::FileRequest& request);
    // Asks for a file with `request` until `write` succeeds (told as `done` and the file's name)
    // or the user cancels; the writers report their own failures.
    void WriteUntilDone(const Dialogs::FileRequest& request, const char* done,
                        const std::function<bool(const Dialogs::ChosenFile&)>& write);

    FileCommandsHost& host_;
    Dialogs& dialogs_;
    ProgressDisplay& progress_;
    std::string projectPath_;
    int importChannel_ = 1;  // the caption channel the last import read
};

}  // namespace vantrel
