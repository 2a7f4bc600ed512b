// Opening, choosing and closing the video of the main view.
#include "app/main_view.h"
#include "app/video_file_filter.h"
#include "video/media_units.h"

namespace vantrel {

// Failure is silent: the paths are emptied and the window stays grey.
void MainView::OpenVideo(const std::string& path) {
    // The player drops the media it had; ticks for it would move a stopped view.
    StopTimer();
    MediaKind kind = player_.Open(path);
    if (kind == kMediaFailed) {
        project_.secondPath.clear();
        project_.videoPath.clear();
        return;
    }
    if ((kind & 2) == 0) {
        // Sound only: it plays, but the project does not remember it.
        project_.videoPath.clear();
    } else {
        FitVideoWindow();
        project_.videoPath = path;
    }
    playState_ = PlayState::Stopped;
    player_.Pause();
}

void MainView::FitVideoWindow() {
    if (!player_.HasPicture()) return;
    player_.SetPictureSize(videoWindow_.size());
    frameDuration_ = kVideoFrameDuration;
    UpdatePosition(0, true);
    RefreshViews(true);
}

void MainView::ShowIndexProgress() {
    if (!player_.HasPicture()) return;
    // The slider's range is not changed under a thumb being dragged.
    UpdatePosition(player_.Position(), !slider_.isSliderDown());
    timeline_.SetIndexedFrames(player_.Indexed() ? -1 : player_.IndexedFrames());
}

void MainView::CloseVideo() {
    Stop();
    player_.Close();
    timeline_.SetIndexedFrames(-1);
    project_.videoPath.clear();
    project_.secondPath.clear();
    RefreshViews(true);
}

void MainView::ChooseVideoStream() {
    std::optional<std::string> path =
        dialogs_.ChooseFileToOpen({kOpenVideoStreamTitle, kVideoStreamFilter, "", ""});
    if (!path) return;
    CloseVideo();
    project_.videoPath.clear();
    project_.secondPath.clear();
    OpenVideo(*path);
}

void MainView::StartNewProject() {
    CloseVideo();
    project_.captions.Clear();
    timeline_.ForgetCurrentCaption();
    timeline_.update();
    project_.modified = false;
    ChooseVideoStream();
}

}  // namespace vantrel
