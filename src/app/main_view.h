// The main view: owns the project, the media player, the play state and the current frame,
// and turns transport commands into player calls and ticks into position updates.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QProxyStyle>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSplitter>
#include <QToolButton>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/caption_table.h"
#include "app/check_dialog.h"
#include "app/dialogs.h"
#include "app/file_commands.h"
#include "app/media_feed.h"
#include "app/progress_dialog.h"
#include "app/properties_panel.h"
#include "caption_window/caption_window.h"
#include "caption_window/caption_window_host.h"
#include "check/hunspell_speller.h"
#include "editor/timing_pass.h"
#include "files/timecode.h"
#include "model/caption_project.h"
#include "model/play_state.h"
#include "model/project_host.h"
#include "timeline/timeline_host.h"
#include "timeline/timeline_window.h"
#include "video/media_player.h"
#include "video/playback_ticks.h"
#include "video/video_window.h"

namespace vantrel {

class MainView : public QWidget,
                 public ProjectHost,
                 public CaptionWindowHost,
                 public TimelineHost,
                 public FileCommandsHost {
    Q_OBJECT

  public:
    // The smallest picture and timeline the layout keeps, in logical pixels.
    static constexpr QSize kSmallestPicture{480, 270};
    static constexpr int kSmallestTimeline = 80;

    // The transport buttons, left to right.
    enum Button {
        kPlayButton,
        kPauseButton,
        kStopButton,
        kStepBackButton,
        kRewindButton,
        kFastForwardButton,
        kStepForwardButton,
        kPreviousCaptionButton,
        kNextCaptionButton,
        kAddCaptionButton,
        kButtonCount
    };

    // `playerOptions` go to libmpv (tests pass "ao" = "null").
    explicit MainView(Dialogs& dialogs, QWidget* parent = nullptr,
                      const std::vector<MediaPlayer::Option>& playerOptions = {});
    ~MainView() override;

    // What the project operations need of the view.
    void Inform(const std::string& text) override;
    int32_t CurrentFrame() const override { return currentFrame_; }
    void OpenVideo(const std::string& path) override;
    void CloseVideo() override;
    bool HasVideo() const override { return player_.IsOpen(); }
    void StepFrames(int32_t delta) override;

    // What the caption window needs of the view.
    PlayState CurrentPlayState() const override { return playState_; }
    CaptionProject& Project() override { return project_; }
    EditHistory& History() override { return history_; }
    void FillPanel(const Caption& caption) override;
    void ClearPanel() override;
    void ForgetTimelineCaption() override;
    void Beep() override;

    // What the timeline needs of the view besides the above.
    void SeekToFrame(int32_t frame) override;
    void ForgetShownCaption() override { captionWindow_.ForgetShownCaption(); }
    void ResetAndShowFrame(int32_t frame) override { captionWindow_.ResetAndShowFrame(frame); }

    // Video.
    void ChooseVideoStream();
    // The video part of starting a new project, after the file commands' own steps.
    void StartNewProject() override;
    bool RelinkMissingVideo(int32_t frame) override;
    void FitVideoWindow();
    // The length and the indexed part as the video's frame index grows.
    void ShowIndexProgress();
    // File > Import Shot Changes: a text file of frame numbers or timecodes.
    void ImportShotChanges();
    // The sound's peaks and the shot changes of the open video, for the timeline.
    MediaFeed& Media() { return media_; }

    // Frames and media positions.
    int64_t ToMedia(int64_t frames) const;
    int64_t ToFrames(int64_t value) const;
    void UpdatePosition(int64_t position, bool resetRange);
    // Shows afresh what is on the air at the current frame (the caption there, or nothing),
    // after a command that may have changed the frame or the captions.
    void ShowOnAir();
    void RefreshViews(bool full);

    // Transport.
    void Play();
    void TogglePause();
    void Stop();
    void BeginScan(bool forward);
    void EndScan();
    void StartPlaybackTimer();
    void StartScanTimer(bool forward);
    void StopTimer();
    void PauseAtEndOfMedia();
    void StepOne(int32_t delta);
    // What the slider's thumb did, in slider units: dragged to a position, let go at one, and
    // the end of the drag.
    void ScrubToSlider(int position);
    void SeekToSlider(int position);
    void EndSliderScrub();

    // Captions. The transport buttons go to the next or previous caption's start while stopped
    // or paused; the starts are -1 when there is none to go to.
    void NextCaption();
    void PreviousCaption();
    int32_t NextCaptionStart() const;
    int32_t PreviousCaptionStart() const;
    void AddCaption();
    void SetTimingMode(int mode);
    // A start, end or duration typed in the panel, for the caption it shows.
    void SetTypedTime(PropertiesPanel::Field field, int64_t frame);
    // The same for any caption of the list (the start or end at the playhead).
    void SetTypedTimeOf(Caption& caption, PropertiesPanel::Field field, int64_t frame);
    // The caption list's requests: the selected captions removed as one step; the caption of a
    // row opened on the caption screen for editing, at the end of its last row of text.
    void DeleteSelectedCaptions();
    void EditCaptionAtRow(int row);

    // The keys of the window while the caption screen is not editing: Space plays or pauses;
    // the steps move only a paused (or stopped) video; the timing keys time the captions of
    // the pass at the frame on screen (a beep when there is nothing to time).
    static constexpr int32_t kSecondFrames = 30;  // Shift+Left/Right: a second of timecode
    void PlayOrPause();
    void StepWhenPaused(int32_t frames);
    void PressTimingKey(TimingKey key);
    const TimingPass& Pass() const { return pass_; }
    // Playback speed, the pitch kept; the ticks follow it.
    void SetSpeed(double speed);
    double Speed() const { return speed_; }

    // Non-drop or drop-frame labels for every timecode the view shows: the position label, the
    // panel, the caption list and the check window.
    void SetTimecodeStyle(TimecodeStyle style);

    // Undo and redo: the edit being typed is committed first, the views let go of every caption,
    // and the video goes to the caption the step changed.
    void Undo();
    void Redo();

    // The delivery check: run again over the captions as they are now (the timeline's marks of
    // late captions and the check window follow), and Tools > Check Captions.
    void RecheckCaptions();
    void ShowCheck();
    // The check profile in force (Tools > Check Profile): the check's rules, and the least gap
    // that the timing modes, the timing keys and snapping leave between captions from now on.
    void SetCheckProfile(CheckProfile profile);
    const CheckProfile& Profile() const { return profile_; }
    CheckDialog& Check() { return check_; }
    ProgressDisplay& Progress() { return progress_; }
    // The language the captions are spelled in (Tools > Spelling Language), a dictionary's
    // name such as en_US, or "" for none: the caption screen underlines and the caption list
    // marks the words its dictionary does not know, and the check has the spelling rule. False,
    // and said, when the dictionary cannot be had (the language before stays).
    bool SetSpellingLanguage(const std::string& language);
    const std::string& SpellingLanguage() const { return language_; }
    HunspellSpeller* Speller() { return speller_.get(); }
    // The speller learned a word: the screen, the list and the check mark afresh.
    void SpellerChanged();
    const std::vector<Finding>& Findings() const { return findings_; }

    // What the File commands need of the view.
    void PauseIfPlaying() override;
    void ReleaseCaptions() override;
    void ShowCaptionsAgain() override;
    void Tell(const std::string& done) override { emit Finished(QString::fromStdString(done)); }
    TimecodeStyle ShownTimecodes() const override { return timecodeStyle_; }

    TimecodeStyle Style() const { return timecodeStyle_; }
    // Moves to a frame, with or without media, and shows its caption: the one way the list, the
    // check window and the commands send the video somewhere.
    void GoToFrame(int32_t frame);

    // Sets the frame without moving the media, as when there is none.
    void SetCurrentFrame(int32_t frame) { currentFrame_ = frame; }
    // Frames in the open media as last read by UpdatePosition.
    int64_t DurationFrames() const { return durationFrames_; }
    MediaPlayer& Player() { return player_; }
    VideoWindow& Video() { return videoWindow_; }
    CaptionWindow& Captions() { return captionWindow_; }
    PropertiesPanel& Panel() { return panel_; }
    CaptionTable& Table() { return table_; }
    FileCommands& Files() { return files_; }
    TimelineWindow& Timeline() { return timeline_; }
    QToolButton& TransportButton(Button which) { return buttons_[which]; }
    QLabel& FrameLabel() { return frameLabel_; }
    QLabel& TimecodeLabel() { return timecodeLabel_; }
    QSlider& Slider() { return slider_; }
    const PlaybackTicks& Ticks() const { return ticks_; }

    // The layout: the video and its controls beside a side column over the timeline. The side
    // column is a splitter of its own that holds the caption list over the properties panel.
    QSplitter& SideSplitter() { return sideSplitter_; }
    // View > Show Properties Panel.
    void SetPanelShown(bool shown);
    bool PanelShown() const { return !panelScroll_.isHidden(); }
    // View > Show Caption List.
    void SetListShown(bool shown);
    bool ListShown() const { return !table_.isHidden(); }
    // The splitters' places, kept between sessions.
    void SaveLayout(QSettings& settings) const;
    void RestoreLayout(const QSettings& settings);

  signals:
    // The project changed, or was saved or replaced: its modified flag and its undo history may
    // be new. The one signal of a change to the project.
    void ProjectChanged();
    // A key did nothing: why, for the status bar.
    void Refused(const QString& why);
    // A long operation ended well: what it made, for the status bar.
    void Finished(const QString& what);
    // A splitter moved, or the list or the panel was shown or hidden.
    void LayoutChanged();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    // The position label, "(hh:mm:ss:ff)" or "(hh:mm:ss;ff)".
    void ShowTimecode();
    void CreateTransportButtons();
    // Shows or hides one widget of the side column; an empty column is hidden.
    void ShowInSideColumn(QWidget& widget, bool shown);
    void CreateLayout();
    void StartPlaying();
    // Seeks to a media position clamped into the media; an end reached stops the ticks.
    void SeekWithinMedia(int64_t target);
    // Pauses and shows the frame at a slider position: scrubbed to, or sought exactly.
    void ShowSliderFrame(int position, bool scrub);
    // Play is checked while playing or paused, Pause while paused; a scan leaves them.
    void ShowPlayStateOnButtons();
    // Undo or redo.
    void TakeStep(bool undo);

    // First, so that it outlives the windows that point into its captions; its history keeps
    // captions too.
    CaptionProject project_;
    EditHistory history_{project_};
    // Before the views that point to it.
    std::unique_ptr<HunspellSpeller> speller_;
    std::string language_;
    int64_t frameDuration_ = 1;  // media units per frame; set when media opens
    int32_t currentFrame_ = 0;
    int64_t sliderStep_ = 1;  // frames per slider unit
    Dialogs& dialogs_;
    MediaPlayer player_;
    PlaybackTicks ticks_;
    TimingPass pass_;
    double speed_ = 1.0;
    // The layout's containers come before the widgets they hold, which they outlive.
    QSplitter mainSplitter_{Qt::Vertical};     // the upper part over the timeline
    QSplitter upperSplitter_{Qt::Horizontal};  // the video beside the side column
    QWidget videoColumn_;
    QSplitter sideSplitter_{Qt::Vertical};
    QScrollArea panelScroll_;
    QList<int> shownSizes_;  // the video's and the side column's widths, while it is hidden
    QFrame editorArea_;      // the sunken edge round the caption window
    CaptionWindow captionWindow_;
    VideoWindow videoWindow_;  // a child of the caption window, covering it
    QLabel frameLabel_;
    QLabel timecodeLabel_;
    // The slider's look, but a press anywhere on its groove takes the thumb there.
    std::unique_ptr<QProxyStyle> sliderStyle_;
    QSlider slider_;
    QToolButton buttons_[kButtonCount];
    PropertiesPanel panel_;
    CaptionTable table_;
    TimelineWindow timeline_;
    MediaFeed media_;
    ProgressDialog progress_;
    FileCommands files_;
    CheckDialog check_;
    CheckProfile profile_ = *BuiltInProfile("broadcast");
    std::vector<Finding> findings_;
    int64_t durationFrames_ = 0;
    TimecodeStyle timecodeStyle_ = TimecodeStyle::NonDropFrame;
    PlayState playState_ = PlayState::Stopped;
    PlayState savedPlayState_ = PlayState::Stopped;  // the state before the current scan
};

}  // namespace vantrel
