// Transport of the main view: seeking, stepping, play, pause, stop, scanning and the ticks.
#include "app/child_view.h"

namespace vantrel {

void CChildView::SeekToFrame(int32_t frame) {
    if (!player_.IsOpen()) return;
    project.modified = 1;
    int64_t target = ToMedia(frame);
    int64_t duration = player_.Duration();
    // Reaching either end stops the ticks, which ends a scan's movement there.
    if (target < 0) {
        target = 0;
        StopTimer();
    }
    if (target >= duration) {
        target = duration == 0 ? 0 : duration - 1;
        StopTimer();
    }
    player_.Seek(target);
    UpdatePosition(target, true);
}

void CChildView::StepFrames(int32_t delta) {
    if (!player_.IsOpen()) return;
    project.modified = 1;
    int64_t target = player_.Position() + ToMedia(delta);
    int64_t duration = player_.Duration();
    if (target < 0) {
        target = 0;
        StopTimer();
    }
    if (target >= duration) {
        target = duration == 0 ? 0 : duration - 1;
        StopTimer();
    }
    player_.Seek(target);
    UpdatePosition(target, true);
}

void CChildView::Play() {
    PlayState = kPlaying;
    player_.Run();
    StartPlaybackTimer();
}

void CChildView::OnPlay() {
    if (!player_.IsOpen()) return;
    project.modified = 1;
    if (PlayState == kStopped || PlayState == kPaused) Play();
    RefreshViews(true);
}

// A toggle: pausing a paused view plays.
void CChildView::OnPause() {
    if (!player_.IsOpen()) return;
    project.modified = 1;
    if (PlayState == kPaused) {
        Play();
    } else if (PlayState == kPlaying) {
        PlayState = kPaused;
        player_.Pause();
        StopTimer();
    }
    RefreshViews(true);
}

void CChildView::OnStop() {
    if (!player_.IsOpen()) return;
    project.modified = 1;
    PlayState = kStopped;
    // Paused, not stopped, so that the frame stays on screen.
    player_.Pause();
    StopTimer();
    player_.Seek(0);
    UpdatePosition(0, true);
    RefreshViews(true);
}

void CChildView::BeginScan(bool forward) {
    if (!player_.IsOpen()) return;
    project.modified = 1;
    StopTimer();
    savedPlayState = PlayState;
    PlayState = kScanning;
    player_.Pause();
    StartScanTimer(forward);
}

void CChildView::EndScan() {
    if (!player_.IsOpen()) return;
    StopTimer();
    PlayState = savedPlayState;
    if (PlayState == kPlaying) {
        player_.Run();
        StartPlaybackTimer();
    }
}

void CChildView::StartPlaybackTimer() {
    ticks_.Start(kPlaybackTickId, kPlaybackTickMs);
}

void CChildView::StartScanTimer(bool forward) {
    StopTimer();
    ticks_.Start(forward ? kScanForwardTickId : kScanBackwardTickId, kScanTickMs);
}

void CChildView::StopTimer() {
    ticks_.Stop();
}

void CChildView::OnTick(int id) {
    int64_t position = player_.IsOpen() ? player_.Position() : 0;
    switch (id) {
        case kPlaybackTickId:
            UpdatePosition(position, true);
            break;
        case kScanForwardTickId:
            StepFrames(+17);
            break;
        case kScanBackwardTickId:
            StepFrames(-17);
            break;
        default:
            break;
    }
}

// The end of the media pauses playback on its last frame.
void CChildView::OnGraphEvent() {
    if (!player_.IsOpen()) return;
    OnPause();
    // The last tick may have come before the last frame was shown.
    UpdatePosition(player_.Position(), true);
}

}  // namespace vantrel
