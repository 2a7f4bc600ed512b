#include "app/main_view.h"

#include <QPainter>
#include <algorithm>

namespace vantrel {

namespace {

// Edge metrics of the sunken client edge round the caption editor.
constexpr int kEdge = 2;
constexpr int kPictureWidth = 480;
constexpr int kPictureHeight = 360;
constexpr int kTimelineTop = 430 + 2 * kEdge;

}  // namespace

MainView::MainView(Dialogs& dialogs, QWidget* parent,
                   const std::vector<MediaPlayer::Option>& playerOptions)
    : QWidget(parent),
      dialogs_(dialogs),
      player_(playerOptions),
      ticks_([this](int id) { OnTick(id); }),
      editorArea_(this),
      captionWindow_(&editorArea_),
      videoWindow_(&captionWindow_),
      timeline_(*this, dialogs, this) {
    project.host = this;
    editorArea_.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    editorArea_.setLineWidth(kEdge);
    editorArea_.setGeometry(1, 0, kPictureWidth + 2 * kEdge, kPictureHeight + 2 * kEdge);
    captionWindow_.move(kEdge, kEdge);
    captionWindow_.SetMainView(this);
    captionWindow_.SetVideoWindow(&videoWindow_);
    videoWindow_.setGeometry(0, 0, kPictureWidth, kPictureHeight);
    videoWindow_.SetPlayer(&player_);
    connect(&player_, &MediaPlayer::EndOfMedia, this, &MainView::OnGraphEvent);
}

MainView::~MainView() {
    StopTimer();
    project.host = nullptr;
}

void MainView::Inform(const std::string& text) {
    dialogs_.Inform(text);
}

void MainView::Beep() {
    dialogs_.Beep();
}

void MainView::FillPanel(const Caption& caption) {
    panelStartFrame_ = caption.startFrame;
}

void MainView::ClearPanel() {
    panelStartFrame_.reset();
}

void MainView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
}

// The timeline takes the strip under the transport buttons, to the view's edges.
void MainView::resizeEvent(QResizeEvent* /*event*/) {
    timeline_.setGeometry(1, kTimelineTop, std::max(width() - 2, 0),
                          std::max(height() - 1 - kTimelineTop, 0));
}

void MainView::ForgetTimelineCaption() {
    timeline_.ForgetCurrentCaption();
    timeline_.update();
}

int64_t MainView::ToMedia(int64_t frames) const {
    return frames * FrameDuration;
}

int64_t MainView::ToFrames(int64_t value) const {
    return value / FrameDuration;
}

// The one place where the current frame is set from the media.
void MainView::UpdatePosition(int64_t position, bool resetRange) {
    int64_t frame = 0;
    int64_t duration = 0;
    if (player_.IsOpen()) {
        frame = ToFrames(position);
        duration = ToFrames(player_.Duration());
    }
    currentFrame = static_cast<int32_t>(frame);
    if (PlayState == kPlaying) captionWindow_.ShowFrame(currentFrame);
    durationFrames_ = duration;
    // The slider never has more than about 10000 positions.
    if (resetRange) {
        SliderStep = static_cast<int32_t>(duration) / 10000 + 1;
        timeline_.SetScale(SliderStep, duration);
    }
    // After the scale, so that a marker far into a newly opened video can be scrolled to.
    timeline_.SetCurrentFrame(currentFrame);
}

void MainView::RefreshViews(bool full) {
    if (full) repaint();
    videoWindow_.SetHasGraph(player_.IsOpen() ? 1 : 0);
    videoWindow_.repaint();
}

}  // namespace vantrel
