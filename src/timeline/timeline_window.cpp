// The timeline's scale, scrolling, cached caption, drawing and hit testing.
#include "timeline/timeline_window.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

#include "codec/encoder.h"

namespace vantrel {

namespace {

constexpr int kEdge = 2;           // the sunken client edge
constexpr int kGridSpacing = 30;   // a grid line every second of frames
constexpr int kLineStep = 65;      // frames per click on a scroll arrow
constexpr int kMarkerMargin = 60;  // where a marker that left the view is shown again

const QColor kBackground(255, 255, 255);
const QColor kGrid(224, 224, 224);
const QColor kOutline(0, 0, 0);
const QColor kLoading(208, 208, 208);
const QColor kMarkedLoading(160, 160, 224);
const QColor kDisplay(128, 128, 128);
const QColor kMarkedDisplay(32, 32, 128);
const QColor kMarker(255, 0, 0);
const QColor kLate(240, 140, 0);
// The strip along the top while the video is indexed: the part served, and the part to come.
const QColor kIndexed(0, 160, 0);
const QColor kNotIndexed(128, 128, 128);
constexpr int kIndexStrip = 2;

// A black-outlined block over [x1, x2) x [y1, y2). Far-off edges are pulled in just outside
// the image, so that a caption thousands of frames long costs no more than a short one.
void DrawBlock(QPainter& painter, int width, int64_t x1, int y1, int64_t x2, int y2,
               const QColor& fill) {
    x1 = std::max<int64_t>(x1, -2);
    x2 = std::min<int64_t>(x2, width + 2);
    if (x2 <= x1 || y2 <= y1) return;
    const QRect outer(static_cast<int>(x1), y1, static_cast<int>(x2 - x1), y2 - y1);
    painter.fillRect(outer, kOutline);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (inner.isValid()) painter.fillRect(inner, fill);
}

}  // namespace

TimelineWindow::TimelineWindow(TimelineHost& host, QWidget* parent)
    : QFrame(parent), mainView_(host), scrollBar_(Qt::Horizontal, this) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kEdge);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);  // the cursor shows what a press would do
    scrollBar_.setRange(0, 0);
    scrollBar_.setPageStep(1);
    connect(&scrollBar_, &QScrollBar::actionTriggered, this, &TimelineWindow::ApplyScrollAction);
    connect(&scrollBar_, &QScrollBar::valueChanged, this, [this] {
        ForgetCurrentCaption();
        update();
    });
}

int32_t TimelineWindow::PositionOf(int64_t frame) const {
    return static_cast<int32_t>(frame / std::max<int64_t>(frameStep_, 1));
}

void TimelineWindow::SetScale(int64_t step, int64_t totalFrames) {
    frameStep_ = step;
    totalFrames_ = totalFrames;
    step = std::max<int64_t>(step, 1);
    const int page = static_cast<int>(std::max<int64_t>(viewWidth_ / step, 1));
    const int64_t range = std::max<int64_t>(totalFrames / step, 0);
    // The last position shows the last page, as a scroll bar with a page size does.
    const int64_t last = std::max<int64_t>(range - (page - 1), 0);
    scrollBar_.setPageStep(page);
    scrollBar_.setSingleStep(static_cast<int>(std::max<int64_t>(kLineStep / step, 1)));  // wheel
    scrollBar_.setMaximum(static_cast<int>(std::min<int64_t>(last, INT32_MAX)));
}

void TimelineWindow::SetCurrentFrame(int32_t frame) {
    if (frame == currentFrame_) return;
    const int64_t base = Base();
    if (frame < base || frame >= base + viewWidth_) {
        const int64_t newBase =
            frame >= base + viewWidth_ ? frame - kMarkerMargin : frame - viewWidth_ + kMarkerMargin;
        int32_t position = PositionOf(std::max<int64_t>(newBase, 0));
        // Whole units round the base down; with many frames to a unit that can leave the
        // marker just past the right edge.
        if (frame - int64_t{position} * std::max<int64_t>(frameStep_, 1) >= viewWidth_) ++position;
        scrollBar_.setValue(position);
        ForgetCurrentCaption();
    }
    currentFrame_ = frame;
    needsRender_ = true;  // the caption under the marker is drawn in its own colours
    update();
}

void TimelineWindow::ForgetCurrentCaption() {
    currentCaption_ = nullptr;
    needsRender_ = true;
}

Caption* TimelineWindow::PickCurrentCaption(int32_t frame) {
    if (frame < 0) frame = mainView_.CurrentFrame();
    Caption* c = mainView_.Project().captions.BucketStart(frame);
    if (c) {
        if (c->startFrame > frame) {
            while (c->prev && c->startFrame > frame) c = c->prev;
        } else {
            while (c->next && c->next->startFrame <= frame) c = c->next;
        }
    }
    if (c != currentCaption_) needsRender_ = true;
    currentCaption_ = c;
    return c;
}

void TimelineWindow::ApplyScrollAction(int action) {
    const int64_t base = Base();
    int64_t frame = 0;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            frame = base + kLineStep;
            break;
        case QAbstractSlider::SliderSingleStepSub:
            frame = base - kLineStep;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            frame = base + viewWidth_;
            break;
        case QAbstractSlider::SliderPageStepSub:
            frame = base - viewWidth_;
            break;
        case QAbstractSlider::SliderToMinimum:
            frame = 0;
            break;
        case QAbstractSlider::SliderToMaximum:
            frame = frameStep_ * scrollBar_.maximum();
            break;
        default:
            return;  // the thumb: its own position is already frameStep_ x the thumb position
    }
    scrollBar_.setSliderPosition(
        std::clamp(PositionOf(frame), scrollBar_.minimum(), scrollBar_.maximum()));
}

void TimelineWindow::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect area = contentsRect();
    const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    viewWidth_ = area.width();
    viewHeight_ = std::max(area.height() - barHeight, 0);
    scrollBar_.setGeometry(area.left(), area.top() + viewHeight_, area.width(), barHeight);
    image_ = QImage(std::max(viewWidth_, 1), std::max(viewHeight_, 1), QImage::Format_RGB32);
    if (frameStep_ > 0) SetScale(frameStep_, totalFrames_);
    needsRender_ = true;
}

void TimelineWindow::Render() {
    image_.fill(kBackground);
    QPainter painter(&image_);
    const int64_t base = Base();
    for (int64_t x = (base / kGridSpacing + 1) * kGridSpacing - base; x < viewWidth_;
         x += kGridSpacing)
        painter.fillRect(QRect(static_cast<int>(x), 0, 1, viewHeight_), kGrid);

    if (!currentCaption_) PickCurrentCaption(Base());
    const int top = viewHeight_ / 6;
    const int mid = viewHeight_ / 2;
    const int bottom = 5 * viewHeight_ / 6;
    for (Caption* c = currentCaption_; c; c = c->next) {
        const int64_t start = c->startFrame;
        const int64_t loadStart = start - GetLoadFrames(*c);
        if (loadStart >= base + viewWidth_) break;
        const bool marked = c->startFrame <= currentFrame_ && currentFrame_ < c->endFrame;
        DrawBlock(painter, viewWidth_, loadStart - base, top, start - base + 1, mid + 1,
                  marked ? kMarkedLoading : kLoading);
        DrawBlock(painter, viewWidth_, start - base, mid, c->endFrame - base, bottom + 1,
                  marked ? kMarkedDisplay : kDisplay);
        // A late start: a bar over the frames the display waits for its loading.
        const auto late =
            std::lower_bound(late_.begin(), late_.end(), c->startFrame,
                             [](const LateStart& l, int32_t frame) { return l.start < frame; });
        if (late != late_.end() && late->start == c->startFrame) {
            const int64_t x1 = std::max<int64_t>(start - base, -1);
            const int64_t x2 = std::min<int64_t>(late->shownFrom - base + 1, viewWidth_ + 1);
            if (x1 < x2) {
                painter.fillRect(QRect(static_cast<int>(x1), mid - 2, static_cast<int>(x2 - x1), 4),
                                 kLate);
            }
        }
    }
    needsRender_ = false;
}

void TimelineWindow::SetLateStarts(std::vector<LateStart> late) {
    late_ = std::move(late);
    needsRender_ = true;
    update();
}

void TimelineWindow::SetAudioPeaks(std::shared_ptr<const AudioPeaks> peaks,
                                   double secondsPerFrame) {
    peaks_ = std::move(peaks);
    secondsPerFrame_ = secondsPerFrame;
    needsRender_ = true;
    update();
}

void TimelineWindow::SetShotChanges(std::vector<int32_t> frames) {
    shotChanges_ = std::move(frames);
    needsRender_ = true;
    update();
}

void TimelineWindow::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (needsRender_) Render();
    QPainter painter(this);
    const QPoint origin = contentsRect().topLeft();
    painter.drawImage(origin, image_, QRect(0, 0, viewWidth_, viewHeight_));
    if (indexedFrames_ >= 0) {
        const int split =
            static_cast<int>(std::clamp<int64_t>(indexedFrames_ - Base(), 0, viewWidth_));
        painter.fillRect(QRect(origin.x(), origin.y(), split, kIndexStrip), kIndexed);
        painter.fillRect(QRect(origin.x() + split, origin.y(), viewWidth_ - split, kIndexStrip),
                         kNotIndexed);
    }
    // The marker goes on the window, not into the image; none at the left edge.
    const int64_t x = int64_t{currentFrame_} - Base();
    if (x > 0 && x < viewWidth_)
        painter.fillRect(QRect(origin.x() + static_cast<int>(x), origin.y(), 1, viewHeight_),
                         kMarker);
}

void TimelineWindow::SetIndexedFrames(int64_t frames) {
    if (frames == indexedFrames_) return;
    indexedFrames_ = frames;
    update();
}

TimelineWindow::Hit TimelineWindow::HitTest(int x, int y) {
    const int mid = viewHeight_ / 2;
    if (y < viewHeight_ / 6 || y > 5 * viewHeight_ / 6) return {};
    // Start where drawing starts: the view's first frame, whatever the marker's frame.
    Caption* c = currentCaption_ ? currentCaption_ : PickCurrentCaption(Base());
    const int64_t base = Base();
    for (; c; c = c->next) {
        const int64_t xs = c->startFrame - base;
        const int64_t xe = c->endFrame - base;
        if (x < xs - GetLoadFrames(*c)) return {};  // later captions lie further right
        if (y <= mid && x <= xs) return {c, kLoadingBlock};
        if (y >= mid) {
            if (xs <= x && x < xe - 1) return {c, kDisplayBlock};
            if (xe - 1 <= x && x <= xe + 1) return {c, kEndEdge};  // a 3-pixel grip
        }
    }
    return {};
}

}  // namespace vantrel
