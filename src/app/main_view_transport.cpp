// Transport of the main view: seeking, stepping, play, pause, stop, scanning and the ticks.
#include <algorithm>
#include <cmath>

#include "app/main_view.h"

namespace vantrel {

void MainView::SeekToFrame(int32_t frame) {
    if (!player_.IsOpen()) return;
    SeekWithinMedia(ToMedia(frame));
    // The frame sought may lie past the end of the media.
    ShowOnAir();
}

void MainView::StepFrames(int32_t delta) {
    if (!player_.IsOpen()) return;
    // Sound reports where its samples are, the end of the file once it got there: it steps from
    // the frame shown.
    const int64_t from = player_.HasPicture() ? player_.Position() : ToMedia(currentFrame_);
    SeekWithinMedia(from + ToMedia(delta));
}

void MainView::SeekWithinMedia(int64_t target) {
    const int64_t last = ToMedia(std::max<int64_t>(ToFrames(player_.Duration()) - 1, 0));
    const bool pastEnd = target > last;
    // Reaching either end stops the ticks of a scan, which ends its movement there; playback
    // sent past the end pauses on the last frame, as when it runs there by itself.
    if ((target < 0 || pastEnd) && playState_ == PlayState::Scanning) StopTimer();
    target = std::clamp<int64_t>(target, 0, last);
    player_.Seek(target);
    UpdatePosition(target, true);
    pass_.Begin(currentFrame_);
    if (pastEnd && playState_ == PlayState::Playing) TogglePause();
}

void MainView::StepOne(int32_t delta) {
    if (!player_.IsOpen()) return;
    // Playing becomes Paused; Stopped stays Stopped.
    if (playState_ != PlayState::Paused) TogglePause();
    StepFrames(delta);
    captionWindow_.ShowFrame(currentFrame_);
    ForgetTimelineCaption();
    RefreshViews(true);
}

// Dragging the thumb pauses playback and shows the frame under it, unclamped: while it moves,
// the nearest frame that can be had at once, which becomes the current frame; where it is let go,
// that exact frame.
void MainView::ScrubToSlider(int position) {
    ShowSliderFrame(position, true);
}

void MainView::SeekToSlider(int position) {
    ShowSliderFrame(position, false);
}

void MainView::EndSliderScrub() {
    RefreshViews(true);
}

void MainView::ShowSliderFrame(int position, bool scrub) {
    if (!player_.IsOpen()) return;
    if (playState_ != PlayState::Paused) TogglePause();
    const int64_t target = ToMedia(sliderStep_ * position);
    int64_t shown = target;
    if (scrub) {
        player_.Scrub(target);
        shown = player_.Position();
    } else {
        player_.Seek(target);
    }
    UpdatePosition(shown, false);
    pass_.Begin(currentFrame_);
    ShowOnAir();
    RefreshViews(false);
    ForgetTimelineCaption();
}

void MainView::StartPlaying() {
    playState_ = PlayState::Playing;
    player_.Run();
    StartPlaybackTimer();
    captionWindow_.SetTransportState(PlayState::Playing);
    ForgetTimelineCaption();
}

void MainView::Play() {
    if (!player_.IsOpen()) return;
    if (playState_ == PlayState::Stopped || playState_ == PlayState::Paused) StartPlaying();
    RefreshViews(true);
}

// A toggle: pausing a paused view plays.
void MainView::TogglePause() {
    if (!player_.IsOpen()) return;
    if (playState_ == PlayState::Paused) {
        StartPlaying();
    } else if (playState_ == PlayState::Playing) {
        playState_ = PlayState::Paused;
        player_.Pause();
        StopTimer();
        // The frame it stopped on, which the last tick may not have seen yet (the timing keys
        // take it next); the slider is left alone, as its thumb may be the one pausing.
        UpdatePosition(player_.Position(), false);
        captionWindow_.SetTransportState(PlayState::Paused);
        ForgetTimelineCaption();
    }
    RefreshViews(true);
}

void MainView::Stop() {
    if (!player_.IsOpen()) return;
    playState_ = PlayState::Stopped;
    // Paused, not stopped, so that the frame stays on screen.
    player_.Pause();
    StopTimer();
    player_.Seek(0);
    UpdatePosition(0, true);
    pass_.Begin(0);
    captionWindow_.ForgetShownCaption();
    captionWindow_.SetTransportState(PlayState::Stopped);
    RefreshViews(true);
    ForgetTimelineCaption();
}

void MainView::BeginScan(bool forward) {
    if (!player_.IsOpen()) return;
    StopTimer();
    savedPlayState_ = playState_;
    playState_ = PlayState::Scanning;
    player_.Pause();
    captionWindow_.SetTransportState(PlayState::Scanning);
    StartScanTimer(forward);
}

void MainView::EndScan() {
    if (!player_.IsOpen()) return;
    StopTimer();
    playState_ = savedPlayState_;
    captionWindow_.SetTransportState(playState_);
    ForgetTimelineCaption();
    if (playState_ == PlayState::Playing) {
        player_.Run();
        StartPlaybackTimer();
    }
}

void MainView::StartPlaybackTimer() {
    // The same share of a frame between ticks at any speed.
    const int period = std::max(1, static_cast<int>(std::lround(kPlaybackTickMs / speed_)));
    ticks_.Start([this] { UpdatePosition(player_.IsOpen() ? player_.Position() : 0, true); },
                 period);
}

void MainView::StartScanTimer(bool forward) {
    StopTimer();
    ticks_.Start([this, forward] { StepFrames(forward ? +17 : -17); }, kScanTickMs);
}

void MainView::StopTimer() {
    ticks_.Stop();
}

// The end of the media pauses playback on its last frame.
void MainView::PauseAtEndOfMedia() {
    if (!player_.IsOpen()) return;
    TogglePause();
    // The last tick may have come before the last frame was shown.
    UpdatePosition(player_.Position(), true);
}

}  // namespace vantrel
