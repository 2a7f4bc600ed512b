// The keys of the main view while the caption screen is not editing: play and pause, the steps,
// the timing keys of a pass through the captions, and the playback speed.
#include "app/main_view.h"

namespace vantrel {

void MainView::PlayOrPause() {
    if (playState_ == PlayState::Playing) {
        TogglePause();
    } else if (playState_ != PlayState::Scanning) {
        Play();
    }
}

void MainView::StepWhenPaused(int32_t frames) {
    if (playState_ == PlayState::Playing || playState_ == PlayState::Scanning) return;
    StepOne(frames);
}

void MainView::PressTimingKey(TimingKey key) {
    if (captionWindow_.IsEditing() || playState_ == PlayState::Scanning) return;
    // The frame on screen as the key goes down, not as the last tick saw it.
    if (playState_ == PlayState::Playing && player_.IsOpen()) {
        UpdatePosition(player_.Position(), false);
    }
    if (!pass_.Press(history_, key, currentFrame_)) {
        Beep();
        emit Refused(pass_.TimingCaption(history_) == nullptr
                         ? QStringLiteral("No caption to time from the playhead on")
                         : QStringLiteral("Not timed: the caption would end at or before its "
                                          "start, or pass the last frame"));
        return;
    }
    captionWindow_.ForgetShownCaption();
    captionWindow_.ResetAndShowFrame(currentFrame_);
    ForgetTimelineCaption();
}

void MainView::SetSpeed(double speed) {
    speed_ = speed;
    player_.SetSpeed(speed);
    if (playState_ == PlayState::Playing) StartPlaybackTimer();
}

}  // namespace vantrel
