// The main view: owns the project, the media player, the play state and the current frame,
// and turns transport commands into player calls and ticks into position updates.
#pragma once

#include <QFrame>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/play_state.h"
#include "model/caption_project.h"
#include "model/project_host.h"
#include "video/media_player.h"
#include "video/playback_ticks.h"
#include "video/video_window.h"

namespace vantrel {

class MainView : public QWidget, public ProjectHost {
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
    void SeekToFrame(int32_t frame);

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

  private:
    void Play();

    Dialogs& dialogs_;
    MediaPlayer player_;
    PlaybackTicks ticks_;
    QFrame editorArea_;  // where the caption editor goes; holds the video window
    VideoWindow videoWindow_;
    int64_t durationFrames_ = 0;
};

}  // namespace vantrel
