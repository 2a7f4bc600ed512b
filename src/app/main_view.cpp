#include "app/main_view.h"

#include <QBoxLayout>
#include <QPainter>
#include <QScrollBar>
#include <functional>

#include "app/guarded.h"
#include "files/timecode.h"
#include "media/media_cache.h"

namespace vantrel {

namespace {

// The edge metrics Ex = Ey = 2 of the sunken edge round the picture.
constexpr int kEdge = 2;
constexpr int kLabelHeight = 16;
constexpr int kButtonSize = 24;
constexpr int kButtonGroupGap = 12;
constexpr int kHandleWidth = 4;
constexpr int kViewFontPixels = 11;
// The first layout of a new user: the timeline's height, and the panel's column.
constexpr int kFirstTimelineHeight = 110;

constexpr char kMainSplitterKey[] = "layout/mainSplitter";
constexpr char kUpperSizesKey[] = "layout/videoAndSideWidths";
constexpr char kSideSplitterKey[] = "layout/sideSplitter";

struct ButtonLook {
    const char* icon;
    const char* tip;
    bool groupStart;  // a gap before it
};

// In the order of MainView::Button.
constexpr ButtonLook kButtonLooks[MainView::kButtonCount] = {
    {"play", "Play", false},
    {"pause", "Pause", false},
    {"stop", "Stop", false},
    {"step_back", "Step Back One Frame", false},
    {"rewind", "Rewind (hold)", false},
    {"fast_forward", "Fast Forward (hold)", false},
    {"step_forward", "Step Forward One Frame", false},
    {"previous_caption", "Previous Caption", true},
    {"next_caption", "Next Caption", false},
    {"add_caption", "Add Caption", true},
};

// A press on the groove jumps the thumb there, held as if grabbed: letting go seeks to it.
class GrooveJumpStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

}  // namespace

MainView::MainView(Dialogs& dialogs, QWidget* parent,
                   const std::vector<MediaPlayer::Option>& playerOptions)
    : QWidget(parent),
      dialogs_(dialogs),
      player_(playerOptions),
      editorArea_(&videoColumn_),
      captionWindow_(&editorArea_),
      videoWindow_(&captionWindow_),
      frameLabel_("Frame 0/0", this),
      timecodeLabel_("(00:00:00:00)", this),
      slider_(Qt::Horizontal, this),
      panel_(this),
      table_(project_.captions, this),
      timeline_(*this, this),
      media_(
          timeline_,
          [this] { return playState_ == PlayState::Playing || playState_ == PlayState::Scanning; },
          DefaultMediaCacheFolder(), this),
      progress_(this),
      files_(*this, dialogs, progress_),
      check_(
          [this](int32_t frame) {
              // Without a video there is no media to seek: the caption is shown all the same.
              if (player_.IsOpen()) return SeekToFrame(frame);
              currentFrame_ = frame;
              captionWindow_.ResetAndShowFrame(frame);
              timeline_.SetCurrentFrame(frame);
              table_.FollowFrame(frame);
          },
          this) {
    project_.host = this;
    project_.captions.SetGap(LeastGap(profile_));
    project_.onModified = [this](bool) { emit ProjectChanged(); };
    // Every step, undo, redo, import and open passes through the changed signal.
    connect(this, &MainView::ProjectChanged, this, &MainView::RecheckCaptions);
    // The smallest size of the system's face, for the labels and the panel.
    QFont viewFont = font();
    viewFont.setPixelSize(kViewFontPixels);
    setFont(viewFont);

    editorArea_.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    editorArea_.setLineWidth(kEdge);
    captionWindow_.SetMainView(this);
    captionWindow_.SetVideoWindow(&videoWindow_);
    videoWindow_.SetPlayer(&player_);
    timecodeLabel_.setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    // Keyboard and page steps do not move the slider: its thumb does, and a press on the groove
    // takes the thumb there.
    sliderStyle_ = std::make_unique<GrooveJumpStyle>();
    slider_.setStyle(sliderStyle_.get());
    slider_.setTickPosition(QSlider::NoTicks);
    slider_.setSingleStep(0);
    slider_.setPageStep(0);
    slider_.setRange(0, 0);
    connect(&slider_, &QSlider::sliderPressed, &captionWindow_, &CaptionWindow::EndEdit);
    connect(&slider_, &QSlider::sliderMoved, this, &MainView::ScrubToSlider);
    connect(&slider_, &QSlider::sliderReleased, this, [this] {
        SeekToSlider(slider_.sliderPosition());
        EndSliderScrub();
    });

    CreateTransportButtons();
    CreateLayout();

    connect(&panel_, &PropertiesPanel::TimingModeChosen, this, &MainView::SetTimingMode);
    connect(&panel_, &PropertiesPanel::TimeTyped, this, &MainView::SetTypedTime);

    // What runs out of memory on the way is told, and the views show the project as it is.
    const auto guarded = [this](const char* operation, const std::function<void()>& command) {
        if (!RunGuarded(dialogs_, operation, command)) ShowCaptionsAgain();
    };
    connect(&table_, &CaptionTable::CaptionChosen, this, [this, guarded](int32_t frame) {
        guarded("Going to the caption", [&] {
            captionWindow_.EndEdit();
            GoToFrame(frame);
        });
    });
    connect(&table_, &CaptionTable::DeleteRequested, this, [this, guarded] {
        guarded("Deleting the captions", [&] { DeleteSelectedCaptions(); });
    });
    connect(&table_, &CaptionTable::EditRequested, this, [this, guarded](int row) {
        guarded("Editing the caption", [&] { EditCaptionAtRow(row); });
    });

    connect(&player_, &MediaPlayer::EndOfMedia, this, &MainView::PauseAtEndOfMedia);
    // The frame count is an estimate until the video's index is complete.
    connect(&player_, &MediaPlayer::IndexChanged, this, &MainView::ShowIndexProgress);
}

void MainView::CreateTransportButtons() {
    for (int i = 0; i < kButtonCount; ++i) {
        QToolButton& button = buttons_[i];
        button.setFixedSize(kButtonSize, kButtonSize);
        button.setIcon(QIcon(QString(":/icons/%1.png").arg(kButtonLooks[i].icon)));
        button.setToolTip(kButtonLooks[i].tip);
        // The transport must not take the focus from a caption being typed: commands end the
        // edit themselves where they must.
        button.setFocusPolicy(Qt::NoFocus);
    }
    // Play and Pause show the play state; only the program checks them.
    buttons_[kPlayButton].setCheckable(true);
    buttons_[kPauseButton].setCheckable(true);
    // A caption being typed is committed before any transport command runs.
    const auto on = [this](Button b, auto command) {
        connect(&buttons_[b], &QToolButton::clicked, this, [this, b, command] {
            if (!RunGuarded(dialogs_, kButtonLooks[b].tip, [&] {
                    captionWindow_.EndEdit();
                    command();
                })) {
                ShowCaptionsAgain();
            }
            // A click checks a checkable button by itself: only the play state may.
            ShowPlayStateOnButtons();
        });
    };
    on(kPlayButton, [this] { Play(); });
    on(kPauseButton, [this] { TogglePause(); });
    on(kStopButton, [this] { Stop(); });
    on(kStepBackButton, [this] { StepOne(-1); });
    on(kStepForwardButton, [this] { StepOne(+1); });
    on(kPreviousCaptionButton, [this] { PreviousCaption(); });
    on(kNextCaptionButton, [this] { NextCaption(); });
    on(kAddCaptionButton, [this] { AddCaption(); });
    // Scanning lasts while the button is held; released anywhere, it ends.
    for (Button b : {kRewindButton, kFastForwardButton}) {
        connect(&buttons_[b], &QToolButton::pressed, this, [this, b] {
            captionWindow_.EndEdit();
            BeginScan(b == kFastForwardButton);
        });
        connect(&buttons_[b], &QToolButton::released, this, &MainView::EndScan);
    }
}

void MainView::CreateLayout() {
    // The picture inside its sunken edge, then the labels, the slider and the buttons.
    auto* edge = new QVBoxLayout(&editorArea_);
    edge->setContentsMargins(kEdge, kEdge, kEdge, kEdge);
    edge->addWidget(&captionWindow_);
    captionWindow_.setMinimumSize(kSmallestPicture);
    auto* column = new QVBoxLayout(&videoColumn_);
    column->setContentsMargins(1, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(&editorArea_, 1);
    auto* labels = new QHBoxLayout;
    frameLabel_.setFixedHeight(kLabelHeight);
    timecodeLabel_.setFixedHeight(kLabelHeight);
    labels->addWidget(&frameLabel_);
    labels->addWidget(&timecodeLabel_);
    column->addLayout(labels);
    column->addWidget(&slider_);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 2, 0, 2);
    buttons->setSpacing(0);
    for (int i = 0; i < kButtonCount; ++i) {
        if (kButtonLooks[i].groupStart) buttons->addSpacing(kButtonGroupGap);
        buttons->addWidget(&buttons_[i]);
    }
    buttons->addStretch(1);
    column->addLayout(buttons);

    // The panel keeps its one size, scrolled when its column is smaller.
    panelScroll_.setWidget(&panel_);
    panelScroll_.setFrameShape(QFrame::NoFrame);
    panelScroll_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    panelScroll_.setMinimumWidth(PropertiesPanel::kWidth / 2);
    // The caption list over the panel. A short column is shared evenly; past the panel's own
    // height the list takes the rest.
    panelScroll_.setMaximumHeight(PropertiesPanel::kHeight +
                                  panelScroll_.horizontalScrollBar()->sizeHint().height());
    // Two parts each; none can be dragged shut, so nothing is lost from sight by accident.
    const auto split = [](QSplitter& splitter, QWidget& first, int firstStretch, QWidget& second,
                          int secondStretch) {
        splitter.addWidget(&first);
        splitter.addWidget(&second);
        splitter.setStretchFactor(0, firstStretch);
        splitter.setStretchFactor(1, secondStretch);
        splitter.setChildrenCollapsible(false);
        splitter.setHandleWidth(kHandleWidth);
    };
    split(sideSplitter_, table_, 1, panelScroll_, 1);
    split(upperSplitter_, videoColumn_, 1, sideSplitter_, 0);
    timeline_.setMinimumHeight(kSmallestTimeline);
    split(mainSplitter_, upperSplitter_, 1, timeline_, 0);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(&mainSplitter_);
    // The first sizes, for a new user: the side column wide enough for the list to show its
    // text beside the times, the timeline low.
    upperSplitter_.setSizes({PropertiesPanel::kWidth * 3, PropertiesPanel::kWidth * 5 / 4});
    mainSplitter_.setSizes({kFirstTimelineHeight * 5, kFirstTimelineHeight});
    // A view that is never shown has its children placed all the same (tests, screenshots).
    outer->activate();
    for (QSplitter* splitter : {&mainSplitter_, &upperSplitter_, &sideSplitter_})
        connect(splitter, &QSplitter::splitterMoved, this, &MainView::LayoutChanged);
}

void MainView::SetPanelShown(bool shown) {
    ShowInSideColumn(panelScroll_, shown);
}

void MainView::SetListShown(bool shown) {
    ShowInSideColumn(table_, shown);
}

void MainView::ShowInSideColumn(QWidget& widget, bool shown) {
    if (shown == !widget.isHidden()) return;
    const bool columnShown = !sideSplitter_.isHidden();
    if (columnShown) shownSizes_ = upperSplitter_.sizes();
    widget.setVisible(shown);
    // An empty side column gives its place to the picture, and takes back its width.
    bool any = false;
    for (int k = 0; k < sideSplitter_.count(); ++k) {
        any = any || !sideSplitter_.widget(k)->isHidden();
    }
    sideSplitter_.setVisible(any);
    if (any && !columnShown && !shownSizes_.isEmpty()) upperSplitter_.setSizes(shownSizes_);
    emit LayoutChanged();
}

void MainView::SaveLayout(QSettings& settings) const {
    settings.setValue(kMainSplitterKey, mainSplitter_.saveState());
    // The side column's width while it is shown, so that it comes back at that width.
    QVariantList widths;
    for (int w : sideSplitter_.isHidden() ? shownSizes_ : upperSplitter_.sizes()) widths << w;
    settings.setValue(kUpperSizesKey, widths);
    settings.setValue(kSideSplitterKey, sideSplitter_.saveState());
}

void MainView::RestoreLayout(const QSettings& settings) {
    mainSplitter_.restoreState(settings.value(kMainSplitterKey).toByteArray());
    sideSplitter_.restoreState(settings.value(kSideSplitterKey).toByteArray());
    QList<int> widths;
    for (const QVariant& w : settings.value(kUpperSizesKey).toList()) widths << w.toInt();
    if (widths.size() != upperSplitter_.count()) return;
    if (sideSplitter_.isHidden()) {
        shownSizes_ = widths;
    } else {
        upperSplitter_.setSizes(widths);
    }
}

void MainView::ShowPlayStateOnButtons() {
    media_.PlayStateChanged();
    if (playState_ == PlayState::Scanning) return;
    buttons_[kPlayButton].setChecked(playState_ == PlayState::Playing ||
                                     playState_ == PlayState::Paused);
    buttons_[kPauseButton].setChecked(playState_ == PlayState::Paused);
}

MainView::~MainView() {
    StopTimer();
    project_.host = nullptr;
    project_.onModified = nullptr;
}

void MainView::Inform(const std::string& text) {
    dialogs_.Inform(text);
}

void MainView::Beep() {
    dialogs_.Beep();
}

void MainView::FillPanel(const Caption& caption) {
    panel_.FillPanel(caption);
}

void MainView::ClearPanel() {
    panel_.ClearPanel();
}

void MainView::ForgetTimelineCaption() {
    timeline_.ForgetCurrentCaption();
    timeline_.repaint();
}

void MainView::SetCheckProfile(CheckProfile profile) {
    profile_ = std::move(profile);
    project_.captions.SetGap(LeastGap(profile_));
    RecheckCaptions();
}

bool MainView::SetSpellingLanguage(const std::string& language) {
    if (language == language_) return true;
    std::unique_ptr<HunspellSpeller> speller;
    if (!language.empty()) {
        std::string error;
        speller = HunspellSpeller::Open(language, error, DictionaryFolders());
        if (!speller) {
            Inform("Spelling: " + error);
            return false;
        }
    }
    // The views let go of the old speller before it goes.
    captionWindow_.SetSpeller(speller.get());
    table_.Model().SetSpeller(speller.get());
    speller_ = std::move(speller);
    language_ = language;
    RecheckCaptions();
    return true;
}

void MainView::SpellerChanged() {
    captionWindow_.SetSpeller(speller_.get());
    table_.Model().SetSpeller(speller_.get());
    RecheckCaptions();
}

void MainView::RecheckCaptions() {
    const CheckProfile& profile = profile_;
    findings_ = CheckCaptions(project_.captions, profile, speller_.get());
    std::vector<TimelineWindow::LateStart> late;
    for (const Finding& f : findings_) {
        if (f.rule == CheckRule::LateDisplay) {
            late.push_back({f.start, f.start + static_cast<int64_t>(f.value)});
        }
    }
    timeline_.SetLateStarts(std::move(late));
    if (check_.isVisible()) {
        check_.ShowFindings(findings_, project_.captions.Count(), profile.name);
    }
}

void MainView::SetTimecodeStyle(TimecodeStyle style) {
    timecodeStyle_ = style;
    ShowTimecode();
    panel_.SetTimecodeStyle(style);
    table_.SetTimecodeStyle(style);
    check_.SetTimecodeStyle(style);
    timeline_.SetTimecodeStyle(style);
    RecheckCaptions();
}

void MainView::ShowTimecode() {
    timecodeLabel_.setText(QStringLiteral("(%1)").arg(
        QString::fromStdString(FormatTimecode(currentFrame_, timecodeStyle_))));
}

void MainView::ShowCheck() {
    check_.show();
    RecheckCaptions();
    check_.raise();
}

void MainView::PauseIfPlaying() {
    if (playState_ == PlayState::Playing) TogglePause();
}

// The captions the two windows hold may be freed by what follows.
void MainView::ReleaseCaptions() {
    captionWindow_.EndEdit();
    captionWindow_.ForgetShownCaption();
    captionWindow_.SetTransportState(PlayState::ReplacingCaptions);
    timeline_.ReleaseCaptions();
}

void MainView::ShowCaptionsAgain() {
    captionWindow_.SetTransportState(playState_);
    ShowOnAir();
    ForgetTimelineCaption();
    table_.FollowFrame(currentFrame_);
}

void MainView::ShowOnAir() {
    captionWindow_.ResetAndShowFrame(currentFrame_);
}

void MainView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
}

int64_t MainView::ToMedia(int64_t frames) const {
    return frames * frameDuration_;
}

// The nearest frame: a video's positions are whole frames, those of sound lie about them.
int64_t MainView::ToFrames(int64_t value) const {
    return (value + frameDuration_ / 2) / frameDuration_;
}

// The one place where the current frame is set from the media.
void MainView::UpdatePosition(int64_t position, bool resetRange) {
    int64_t frame = 0;
    int64_t duration = 0;
    if (player_.IsOpen()) {
        frame = ToFrames(position);
        duration = ToFrames(player_.Duration());
    }
    currentFrame_ = static_cast<int32_t>(frame);
    captionWindow_.ShowFrame(currentFrame_);
    durationFrames_ = duration;
    frameLabel_.setText(
        QString::asprintf("Frame %li/%li", static_cast<long>(frame), static_cast<long>(duration)));
    ShowTimecode();
    if (resetRange) {
        // The slider never has more than about 10000 positions.
        sliderStep_ = duration / 10000 + 1;
        {
            const QSignalBlocker quiet(slider_);
            slider_.setRange(0, static_cast<int>(duration / sliderStep_));
        }
        slider_.setValue(static_cast<int>(currentFrame_ / sliderStep_));
        timeline_.SetTotalFrames(duration);
    }
    // After the scale, so that a marker far into a newly opened video can be scrolled to.
    timeline_.SetCurrentFrame(currentFrame_);
    table_.FollowFrame(currentFrame_);
}

void MainView::RefreshViews(bool full) {
    ShowPlayStateOnButtons();
    if (full) repaint();
    videoWindow_.SetHasVideo(player_.IsOpen());
    videoWindow_.repaint();
}

}  // namespace vantrel
