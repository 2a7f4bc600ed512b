// The main view: owns the project, the media player, the play state and the current frame,
// and turns transport commands into player calls and ticks into position updates.
#pragma once

#include <QFrame>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/play_state.h"
#include "caption_window/caption_window.h"
#include "caption_window/caption_window_host.h"
#include "model/caption_project.h"
#include "model/project_host.h"
#include "timeline/timeline_window.h"
#include "video/media_player.h"
#include "video/playback_ticks.h"
#include "video/video_window.h"

namespace vantrel {

class MainView : public QWidget, public ProjectHost, public CaptionWindowHost, public TimelineHost {
    Q_OBJECT

  public:
    // `playerOptions` go to libmpv (tests pass "ao" = "null").
    explicit MainView(Dialogs& dialogs, QWidget* parent = nullptr,
                      const std::vector<MediaPlayer::Option>& playerOptions = {});
    ~MainView() override;

    // What the project operations need of the view.
    void Inform(const std::string& text) override;
    int32_t CurrentFrame() const override { return currentFrame; }
    void OpenVideo(const std::string& path) override;
    void CloseVideo() override;
    bool HasVideo() const override { return player_.IsOpen(); }
    void StepFrames(int32_t delta) override;

    // What the caption window and the timeline need of the view.
    int CurrentPlayState() const override { return PlayState; }
    CaptionProject& Project() override { return project; }
    void FillPanel(const Caption& caption) override;
    void ClearPanel() override;
    void ForgetTimelineCaption() override;
    void Beep() override;
    void ForgetShownCaption() override { captionWindow_.ForgetShownCaption(); }
    void ResetAndShowFrame(int32_t frame) override { captionWindow_.ResetAndShowFrame(frame); }

    // Video.
    void ChooseVideoStream();
    // The video part of starting a new project, after the file commands' own steps.
    void StartNewProject();
    void FitVideoWindow();

    // Frames and media positions.
    int64_t ToMedia(int64_t frames) const;
    int64_t ToFrames(int64_t value) const;
    void UpdatePosition(int64_t position, bool resetRange);
    void RefreshViews(bool full);
    void SeekToFrame(int32_t frame) override;

    // Transport.
    void OnPlay();
    void OnPause();
    void OnStop();
    void BeginScan(bool forward);
    void EndScan();
    void StartPlaybackTimer();
    void StartScanTimer(bool forward);
    void StopTimer();
    void OnTick(int id);
    void OnGraphEvent();

    // Frames in the open media as last read by UpdatePosition.
    int64_t DurationFrames() const { return durationFrames_; }
    MediaPlayer& Player() { return player_; }
    VideoWindow& Video() { return videoWindow_; }
    CaptionWindow& Captions() { return captionWindow_; }
    TimelineWindow& Timeline() { return timeline_; }
    // Until the properties panel exists: the start frame of the caption it would show.
    std::optional<int32_t> PanelStartFrame() const { return panelStartFrame_; }
    const PlaybackTicks& Ticks() const { return ticks_; }

    // Read and written directly by the caption editor, the timeline and the file commands.
    CaptionProject project;
    int64_t FrameDuration = 1;  // media units per frame; set when a video opens
    int32_t currentFrame = 0;
    int PlayState = kStopped;
    int savedPlayState = kStopped;  // the state before the current scan
    int32_t SliderStep = 1;         // frames per slider unit

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Play();

    Dialogs& dialogs_;
    MediaPlayer player_;
    PlaybackTicks ticks_;
    QFrame editorArea_;  // the sunken edge round the caption window
    CaptionWindow captionWindow_;
    VideoWindow videoWindow_;  // a child of the caption window, covering it
    TimelineWindow timeline_;
    std::optional<int32_t> panelStartFrame_;
    int64_t durationFrames_ = 0;
};

}  // namespace vantrel
