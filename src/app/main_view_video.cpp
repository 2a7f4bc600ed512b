// Opening, choosing and closing the video of the main view.
#include "app/file_dialog_requests.h"
#include "app/main_view.h"
#include "app/video_file_filter.h"
#include "files/file.h"
#include "files/file_messages.h"
#include "media/shot_change_file.h"
#include "video/media_units.h"

namespace vantrel {

// A file that is missing keeps its path, for the project to find it later; a name that is no
// local file is refused. Otherwise failure is silent: the paths are emptied and the window
// stays grey.
void MainView::OpenVideo(const std::string& name) {
    const std::string path = name;  // `name` may be the project's own path, changed below
    // The player drops the media it had; ticks for it would move a stopped view.
    StopTimer();
    const LocalFileKind local = CheckLocalFile(path);
    media_.Close();
    if (local != LocalFileKind::Regular) {
        player_.Close();
        project_.secondPath.clear();
        project_.videoPath = local == LocalFileKind::Missing ? path : std::string();
        if (local == LocalFileKind::NotLocal) dialogs_.Inform(NotALocalVideoText(path));
        RefreshViews(true);
        return;
    }
    MediaKind kind = player_.Open(path);
    if (kind == kMediaFailed) {
        project_.secondPath.clear();
        project_.videoPath.clear();
        return;
    }
    // Sound alone counts the frames of a video too, so that frames and the slider's range stay
    // in bounds however long it lasts.
    frameDuration_ = kVideoFrameDuration;
    if ((kind & 2) == 0) {
        // Sound only: it plays, but the project does not remember it.
        project_.videoPath.clear();
        UpdatePosition(0, true);
        RefreshViews(true);
    } else {
        FitVideoWindow();
        project_.videoPath = path;
    }
    playState_ = PlayState::Stopped;
    player_.Pause();
    // Sound alone has peaks too; its shot detection finds no picture and ends.
    media_.Open(path);
}

bool MainView::RelinkMissingVideo(int32_t frame) {
    const std::string missing = project_.videoPath;
    if (missing.empty() || HasVideo() || CheckLocalFile(missing) != LocalFileKind::Missing ||
        !dialogs_.AskYesNo(MissingVideoQuestion(missing))) {
        return false;
    }
    const std::optional<std::string> path = dialogs_.ChooseFileToOpen(
        files_.InProjectFolder({kLocateVideoTitle, kVideoStreamFilter, "", ""}));
    if (!path) return false;
    OpenVideo(*path);
    if (!HasVideo()) return false;
    StepFrames(frame);
    return true;
}

void MainView::FitVideoWindow() {
    if (!player_.HasPicture()) return;
    // The picture takes the video's shape, and is rendered at the size it is shown.
    videoWindow_.SetHasVideo(true);
    videoWindow_.RenderAtShownSize();
    UpdatePosition(0, true);
    RefreshViews(true);
}

void MainView::ShowIndexProgress() {
    if (!player_.HasPicture()) return;
    // The slider's range is not changed under a thumb being dragged.
    UpdatePosition(player_.Position(), !slider_.isSliderDown());
    timeline_.SetIndexedFrames(player_.Indexed() ? -1 : player_.IndexedFrames());
}

void MainView::ImportShotChanges() {
    const std::optional<std::string> path =
        dialogs_.ChooseFileToOpen(files_.InProjectFolder(kImportShotChangesRequest));
    if (!path) return;
    ShotChangeList list;
    std::string reason;
    if (!ReadShotChangeFile(*path, list, reason)) {
        dialogs_.Inform(ErrorOpeningFileText(*path, reason));
        return;
    }
    media_.ImportShotChanges(std::move(list.frames));
    if (!list.bad.empty()) dialogs_.Inform(BadShotChangeLinesText(*path, list));
}

void MainView::CloseVideo() {
    Stop();
    player_.Close();
    media_.Close();
    timeline_.SetIndexedFrames(-1);
    project_.videoPath.clear();
    project_.secondPath.clear();
    RefreshViews(true);
}

void MainView::ChooseVideoStream() {
    std::optional<std::string> path = dialogs_.ChooseFileToOpen(
        files_.InProjectFolder({kOpenVideoStreamTitle, kVideoStreamFilter, "", ""}));
    if (!path) return;
    CloseVideo();
    project_.videoPath.clear();
    project_.secondPath.clear();
    OpenVideo(*path);
}

// The views hold no caption (ReleaseCaptions came first): the list is emptied before the video
// closes, so that stopping it finds no caption of the old list to show.
void MainView::StartNewProject() {
    history_.Clear(true);
    project_.captions.Clear();
    project_.captions.NotifyChanged(kWholeList);
    timeline_.ReleaseCaptions();
    captionWindow_.ForgetShownCaption();
    CloseVideo();
    timeline_.update();
    history_.UpdateModified();  // stopping is no change
    ChooseVideoStream();
}

}  // namespace vantrel
