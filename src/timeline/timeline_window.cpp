// The timeline's zoom, scrolling, cached caption, drawing and hit testing.
#include "timeline/timeline_window.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "caption_window/caption_text.h"
#include "codec/encoder.h"
#include "timeline/timeline_ruler.h"

namespace vantrel {

namespace {

constexpr int kEdge = 2;           // the sunken client edge
constexpr int kEndGripPixels = 4;  // a caption's end grip, either side of the edge
constexpr int kLinePixels = 65;    // a click on a scroll arrow
constexpr int kMarkerMargin = 60;  // pixels: where a marker that left the view is shown again
constexpr int kFollowMargin = 30;  // while playing, the view pages this close to the right edge
constexpr int kLeastGridPixels = 8;
constexpr int kLeastMarkPixels = 4;
constexpr int kRulerFontPixels = 11;
// The scroll bar's positions are ints: far longer programmes count several frames to a unit.
constexpr int64_t kMostBarUnits = 1000000000;

const QColor kBackground(255, 255, 255);
const QColor kGrid(224, 224, 224);
const QColor kOutline(0, 0, 0);
const QColor kLoading(208, 208, 208);
const QColor kMarkedLoading(160, 160, 224);
const QColor kDisplay(128, 128, 128);
const QColor kMarkedDisplay(32, 32, 128);
const QColor kMarker(255, 0, 0);
const QColor kLate(240, 140, 0);
const QColor kRuler(236, 236, 236);
const QColor kRulerMark(96, 96, 96);
const QColor kPeaks(70, 170, 100);
const QColor kShotChange(0, 140, 220);
const QColor kSpeech(230, 120, 30);
const QColor kLabel(255, 255, 255);  // a display block's words
constexpr int kLabelPadding = 3;
// Over the waveform the blocks let it show through.
constexpr int kBlockAlpha = 150;
// The strip along the top while the video is indexed: the part served, and the part to come.
const QColor kIndexed(0, 160, 0);
const QColor kNotIndexed(128, 128, 128);
constexpr int kIndexStrip = 2;

QColor Translucent(QColor colour, bool translucent) {
    if (translucent) colour.setAlpha(kBlockAlpha);
    return colour;
}

// A black-outlined block over [x1, x2) x [y1, y2), at least a pixel wide. Far-off edges are
// pulled in just outside the image, so that a caption thousands of frames long costs no more
// than a short one.
void DrawBlock(QPainter& painter, int width, int64_t x1, int y1, int64_t x2, int y2,
               const QColor& fill) {
    x2 = std::max(x2, x1 + 1);
    x1 = std::max<int64_t>(x1, -2);
    x2 = std::min<int64_t>(x2, width + 2);
    if (x2 <= x1 || y2 <= y1) return;
    const QRect outer(static_cast<int>(x1), y1, static_cast<int>(x2 - x1), y2 - y1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (fill.alpha() == 255) {
        painter.fillRect(outer, kOutline);
        if (inner.isValid()) painter.fillRect(inner, fill);
        return;
    }
    if (inner.isValid()) painter.fillRect(inner, fill);
    painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), 1), kOutline);
    painter.fillRect(QRect(outer.left(), outer.bottom(), outer.width(), 1), kOutline);
    painter.fillRect(QRect(outer.left(), outer.top(), 1, outer.height()), kOutline);
    painter.fillRect(QRect(outer.right(), outer.top(), 1, outer.height()), kOutline);
}

// Blocks a pixel or two wide that touch the ones before them in their lane are drawn as one: at
// the whole-programme zoom most captions are such, and the pixels between them would not show.
class Lane {
  public:
    Lane(QPainter& painter, int width, int y1, int y2, QColor fill)
        : painter_(painter), width_(width), y1_(y1), y2_(y2), fill_(fill) {}
    ~Lane() { Flush(); }
    void Draw(int64_t x1, int64_t x2, const QColor* marked) {
        if (marked == nullptr && x2 - x1 <= 2) {
            if (open_ && x1 <= x2_) {
                x2_ = std::max(x2_, x2);
                return;
            }
            Flush();
            open_ = true;
            x1_ = x1;
            x2_ = x2;
            return;
        }
        Flush();
        DrawBlock(painter_, width_, x1, y1_, x2, y2_, marked ? *marked : fill_);
    }

  private:
    void Flush() {
        if (open_) DrawBlock(painter_, width_, x1_, y1_, x2_, y2_, fill_);
        open_ = false;
    }
    QPainter& painter_;
    int width_, y1_, y2_;
    QColor fill_;
    bool open_ = false;
    int64_t x1_ = 0, x2_ = 0;
};

}  // namespace

TimelineWindow::TimelineWindow(TimelineHost& host, QWidget* parent)
    : QFrame(parent), mainView_(host), scrollBar_(Qt::Horizontal, this) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(kEdge);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);  // the cursor shows what a press would do
    QFont rulerFont = font();
    rulerFont.setPixelSize(kRulerFontPixels);
    setFont(rulerFont);
    scrollBar_.setRange(0, 0);
    scrollBar_.setPageStep(1);
    connect(&scrollBar_, &QScrollBar::actionTriggered, this, &TimelineWindow::ApplyScrollAction);
    // The thumb; the other actions have already set the base.
    connect(&scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (value != base_ / barUnit_) ScrollTo(value * barUnit_);
    });
}

// The video's frames, or more when captions run past its end or there is no video.
int64_t TimelineWindow::ProgrammeFrames() const {
    int64_t end = 0;
    const CaptionList& list = mainView_.Project().captions;
    for (const Caption* c = list.LastBucket().firstCaption; c; c = c->next)
        end = std::max<int64_t>(end, c->endFrame);
    return std::max(totalFrames_, end);
}

double TimelineWindow::WholeProgrammeFramesPerPixel() const {
    // The last column shows the programme's end.
    const double whole = static_cast<double>(ProgrammeFrames()) / std::max(viewWidth_ - 1, 1);
    return std::max(whole, kClosestFramesPerPixel);
}

int64_t TimelineWindow::FrameAt(int x) const {
    return base_ + static_cast<int64_t>(std::floor(x * framesPerPixel_));
}

int64_t TimelineWindow::XOf(int64_t frame) const {
    return static_cast<int64_t>(std::floor(static_cast<double>(frame - base_) / framesPerPixel_));
}

int64_t TimelineWindow::LastBase() const {
    const auto shown =
        static_cast<int64_t>(std::floor(std::max(viewWidth_ - 1, 0) * framesPerPixel_ + 1e-6));
    return std::max<int64_t>(ProgrammeFrames() - shown, 0);
}

void TimelineWindow::UpdateScrollBar() {
    barUnit_ = ProgrammeFrames() / kMostBarUnits + 1;
    const QSignalBlocker quiet(scrollBar_);
    const auto units = [this](double frames) {
        return static_cast<int>(std::max<int64_t>(static_cast<int64_t>(frames) / barUnit_, 1));
    };
    scrollBar_.setRange(0, static_cast<int>((LastBase() + barUnit_ - 1) / barUnit_));
    scrollBar_.setPageStep(units(viewWidth_ * framesPerPixel_));
    scrollBar_.setSingleStep(units(kLinePixels * framesPerPixel_));
    scrollBar_.setValue(static_cast<int>(base_ / barUnit_));
}

void TimelineWindow::ScrollTo(int64_t frame) {
    const int64_t base = std::clamp<int64_t>(frame, 0, LastBase());
    const bool moved = base != base_;
    base_ = base;
    UpdateScrollBar();  // its range may have changed with the zoom or the length
    if (!moved) return;
    ForgetCurrentCaption();
    update();
}

void TimelineWindow::SetTotalFrames(int64_t totalFrames) {
    totalFrames_ = std::max<int64_t>(totalFrames, 0);
    // Only a view of the whole programme follows: the zoom a video opens at stays.
    if (wholeProgramme_) framesPerPixel_ = WholeProgrammeFramesPerPixel();
    ScrollTo(base_);
    needsRender_ = true;
    update();
}

int TimelineWindow::ZoomAnchor(int anchorX) const {
    if (anchorX >= 0) return std::min(anchorX, std::max(viewWidth_ - 1, 0));
    const QPoint mouse = mapFromGlobal(QCursor::pos()) - contentsRect().topLeft();
    if (underMouse() && mouse.x() >= 0 && mouse.x() < viewWidth_) return mouse.x();
    const int64_t marker = XOf(currentFrame_);
    if (marker >= 0 && marker < viewWidth_) return static_cast<int>(marker);
    return viewWidth_ / 2;
}

void TimelineWindow::SetFramesPerPixel(double framesPerPixel, int anchorX) {
    const double whole = WholeProgrammeFramesPerPixel();
    const int anchor = ZoomAnchor(anchorX);
    const int64_t frame = FrameAt(anchor);
    framesPerPixel_ = std::clamp(framesPerPixel, kClosestFramesPerPixel, whole);
    wholeProgramme_ = framesPerPixel_ >= whole;
    // The frame under the anchor stays there.
    base_ = std::clamp<int64_t>(frame - static_cast<int64_t>(std::floor(anchor * framesPerPixel_)),
                                0, LastBase());
    UpdateScrollBar();
    ForgetCurrentCaption();
    update();
}

void TimelineWindow::ZoomIn(int anchorX) {
    double step = std::exp2(std::floor(std::log2(framesPerPixel_)));
    if (step >= framesPerPixel_ * (1 - 1e-9)) step /= 2;
    SetFramesPerPixel(step, anchorX);
    // From the menu or the keys, the caption under the marker stays in sight, however far the
    // view was scrolled from it.
    if (anchorX >= 0) return;
    const Caption* marked = mainView_.Project().captions.CaptionAt(currentFrame_);
    if (marked != nullptr && (XOf(marked->endFrame) <= 0 || XOf(marked->startFrame) >= viewWidth_))
        ScrollTo(marked->startFrame -
                 static_cast<int64_t>(std::floor(kMarkerMargin * framesPerPixel_)));
}

void TimelineWindow::ZoomOut(int anchorX) {
    double step = std::exp2(std::ceil(std::log2(framesPerPixel_)));
    if (step <= framesPerPixel_ * (1 + 1e-9)) step *= 2;
    SetFramesPerPixel(step, anchorX);
}

void TimelineWindow::ZoomToWholeProgramme() {
    SetFramesPerPixel(WholeProgrammeFramesPerPixel(), 0);
}

void TimelineWindow::SetTimecodeStyle(TimecodeStyle style) {
    timecodeStyle_ = style;
    needsRender_ = true;
    update();
}

TimelineWindow::Lanes TimelineWindow::BlockLanes() const {
    const int band = std::max(viewHeight_ - kRulerHeight - kSpeechBandHeight, 0);
    return {kRulerHeight + band / 6, kRulerHeight + band / 2, kRulerHeight + 5 * band / 6};
}

void TimelineWindow::SetCurrentFrame(int32_t frame) {
    if (frame == currentFrame_) return;
    const int64_t x = XOf(frame);
    // While playing the view pages a little before the marker reaches the edge.
    const int right = mainView_.CurrentPlayState() == PlayState::Playing
                          ? std::max(viewWidth_ - kFollowMargin, viewWidth_ / 2)
                          : viewWidth_;
    if (x < 0 || x >= right) {
        const double margin = x >= right ? kMarkerMargin : viewWidth_ - kMarkerMargin;
        ScrollTo(frame - static_cast<int64_t>(std::floor(margin * framesPerPixel_)));
    }
    currentFrame_ = frame;
    needsRender_ = true;  // the caption under the marker is drawn in its own colours
    update();
}

void TimelineWindow::ForgetCurrentCaption() {
    currentCaption_ = nullptr;
    needsRender_ = true;
    UpdateScrollBar();  // the captions may now run further
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
    int64_t frame = 0;
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
        case QAbstractSlider::SliderSingleStepSub: {
            const auto step = std::max<int64_t>(std::llround(kLinePixels * framesPerPixel_), 1);
            frame = base_ + (action == QAbstractSlider::SliderSingleStepAdd ? step : -step);
            break;
        }
        case QAbstractSlider::SliderPageStepAdd:
        case QAbstractSlider::SliderPageStepSub: {
            const auto page = std::max<int64_t>(std::llround(viewWidth_ * framesPerPixel_), 1);
            frame = base_ + (action == QAbstractSlider::SliderPageStepAdd ? page : -page);
            break;
        }
        case QAbstractSlider::SliderToMinimum:
            frame = 0;
            break;
        case QAbstractSlider::SliderToMaximum:
            frame = LastBase();
            break;
        default:
            return;  // the thumb: valueChanged takes it
    }
    ScrollTo(frame);
    scrollBar_.setSliderPosition(static_cast<int>(base_ / barUnit_));
}

void TimelineWindow::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    const QRect area = contentsRect();
    const int barHeight = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    viewWidth_ = area.width();
    viewHeight_ = std::max(area.height() - barHeight, 0);
    scrollBar_.setGeometry(area.left(), area.top() + viewHeight_, area.width(), barHeight);
    image_ = QImage(std::max(viewWidth_, 1), std::max(viewHeight_, 1), QImage::Format_RGB32);
    // Only a view of the whole programme follows: the zoom a video opens at stays.
    if (wholeProgramme_) framesPerPixel_ = WholeProgrammeFramesPerPixel();
    ScrollTo(base_);
    needsRender_ = true;
}

void TimelineWindow::Render() {
    image_.fill(kBackground);
    QPainter painter(&image_);
    const Lanes lanes = BlockLanes();
    DrawRuler(painter);
    DrawPeaks(painter, lanes);
    DrawCaptions(painter, lanes, peaks_ != nullptr);
    DrawSpeech(painter);
    DrawShotChanges(painter);
    needsRender_ = false;
}

// Marks at round times, labelled where there is room; the grid carries the marks down through
// the band when they are far enough apart.
void TimelineWindow::DrawRuler(QPainter& painter) {
    painter.fillRect(QRect(0, 0, viewWidth_, kRulerHeight), kRuler);
    painter.fillRect(QRect(0, kRulerHeight - 1, viewWidth_, 1), kRulerMark);
    painter.setFont(font());
    const int labelPixels = painter.fontMetrics().horizontalAdvance("00:00:00:00");
    const RulerSpacing spacing = ChooseRulerSpacing(framesPerPixel_, labelPixels + 24);
    const bool marks = spacing.minor >= kLeastMarkPixels * framesPerPixel_;
    const bool grid = spacing.minor >= kLeastGridPixels * framesPerPixel_;
    const int64_t step = marks ? spacing.minor : spacing.major;
    const int64_t last = FrameAt(viewWidth_) + 1;
    // From the label before the view, whose text may reach into it.
    int64_t position = LabelPosition(base_, timecodeStyle_);
    position = position / spacing.major * spacing.major - spacing.major;
    painter.setPen(kRulerMark);
    for (; position >= -spacing.major; position += step) {
        const int64_t frame = FrameOfLabel(std::max<int64_t>(position, 0), timecodeStyle_);
        if (frame > last) break;
        if (position < 0) continue;
        const int64_t x = XOf(frame);
        const bool major = position % spacing.major == 0;
        if (x >= 0 && x < viewWidth_) {
            const int ix = static_cast<int>(x);
            if (grid && ix > 0) painter.fillRect(QRect(ix, kRulerHeight, 1, viewHeight_), kGrid);
            const int height = major ? kRulerHeight : 4;  // short marks stay under the text
            painter.fillRect(QRect(ix, kRulerHeight - height, 1, height), kRulerMark);
        }
        if (major && x + labelPixels + 3 > 0 && x < viewWidth_) {
            painter.drawText(QPoint(static_cast<int>(x) + 3, kRulerHeight - 5),
                             QString::fromStdString(FormatTimecode(frame, timecodeStyle_)));
        }
    }
}

// One column of the audio's lowest and highest samples per pixel, over the whole band.
void TimelineWindow::DrawPeaks(QPainter& painter, const Lanes& lanes) {
    if (!peaks_ || secondsPerFrame_ <= 0 || viewWidth_ <= 0) return;
    peaksDrawnSeconds_ = peaks_->KnownSeconds();
    std::vector<PeakPair> columns(static_cast<size_t>(viewWidth_));
    const int known = peaks_->Columns(static_cast<double>(base_) * secondsPerFrame_,
                                      framesPerPixel_ * secondsPerFrame_, columns);
    const int centre = lanes.mid;
    const int half = std::max((viewHeight_ - kRulerHeight - kSpeechBandHeight) / 2 - 1, 1);
    for (int x = 0; x < known; ++x) {
        const int top = centre - columns[x].max * half / 127;
        const int bottom = centre - columns[x].min * half / 127;
        painter.fillRect(QRect(x, top, 1, bottom - top + 1), kPeaks);
    }
}

// The cuts in view, found by bisection.
void TimelineWindow::DrawShotChanges(QPainter& painter) {
    const int64_t last = FrameAt(viewWidth_);
    auto it = std::lower_bound(shotChanges_.begin(), shotChanges_.end(), base_);
    int64_t drawn = -1;
    for (; it != shotChanges_.end() && *it <= last; ++it) {
        const int64_t x = XOf(*it);
        if (x == drawn || x >= viewWidth_) continue;
        drawn = x;
        painter.fillRect(QRect(static_cast<int>(x), kRulerHeight, 1, viewHeight_), kShotChange);
    }
}

// The runs in view, found by bisection, along the bottom under the waveform; a run shorter than
// a pixel still shows.
void TimelineWindow::DrawSpeech(QPainter& painter) {
    const int64_t last = FrameAt(viewWidth_);
    const int y = viewHeight_ - kSpeechBandHeight;
    auto it =
        std::lower_bound(speech_.begin(), speech_.end(), base_,
                         [](const SpeechSpan& run, int64_t frame) { return run.end <= frame; });
    for (; it != speech_.end() && it->start <= last; ++it) {
        const int64_t x1 = std::max<int64_t>(XOf(it->start), 0);
        const int64_t x2 = std::min<int64_t>(std::max(XOf(it->end), x1 + 1), viewWidth_);
        painter.fillRect(
            QRect(static_cast<int>(x1), y, static_cast<int>(x2 - x1), kSpeechBandHeight), kSpeech);
    }
}

void TimelineWindow::DrawCaptions(QPainter& painter, const Lanes& lanes, bool translucent) {
    if (!currentCaption_)
        PickCurrentCaption(static_cast<int32_t>(std::min<int64_t>(base_, INT32_MAX)));
    const int64_t lastFrame = FrameAt(viewWidth_);
    const QColor markedLoading = Translucent(kMarkedLoading, translucent);
    const QColor markedDisplay = Translucent(kMarkedDisplay, translucent);
    Lane loading(painter, viewWidth_, lanes.top, lanes.mid + 1, Translucent(kLoading, translucent));
    Lane display(painter, viewWidth_, lanes.mid, lanes.bottom + 1,
                 Translucent(kDisplay, translucent));
    auto late = late_.begin();
    for (Caption* c = currentCaption_; c; c = c->next) {
        const int64_t start = c->startFrame;
        const int64_t loadStart = start - GetLoadFrames(*c);
        if (loadStart > lastFrame) break;
        const bool marked = c->startFrame <= currentFrame_ && currentFrame_ < c->endFrame;
        const int64_t xs = XOf(start);
        loading.Draw(XOf(loadStart), xs + 1, marked ? &markedLoading : nullptr);
        const int64_t xe = std::max(XOf(c->endFrame), xs + 1);
        display.Draw(xs, xe, marked ? &markedDisplay : nullptr);
        DrawFirstWords(painter, *c, xs, xe, lanes);
        // A late start: a bar over the frames the display waits for its loading.
        late = std::lower_bound(late, late_.end(), c->startFrame,
                                [](const LateStart& l, int32_t frame) { return l.start < frame; });
        if (late != late_.end() && late->start == c->startFrame) {
            const int64_t x1 = std::max<int64_t>(xs, -1);
            const int64_t x2 =
                std::min<int64_t>(std::max(XOf(late->shownFrom) + 1, x1 + 1), viewWidth_ + 1);
            if (x1 < x2) {
                painter.fillRect(
                    QRect(static_cast<int>(x1), lanes.mid - 2, static_cast<int>(x2 - x1), 4),
                    kLate);
            }
        }
    }
}

// The words go where the block is in view, so that a long caption scrolled half out still
// names itself; a block too narrow for a word shows none.
void TimelineWindow::DrawFirstWords(QPainter& painter, const Caption& c, int64_t xs, int64_t xe,
                                    const Lanes& lanes) {
    const int64_t x1 = std::max<int64_t>(xs, 0) + kLabelPadding;
    const int64_t x2 = std::min<int64_t>(xe, viewWidth_) - kLabelPadding;
    const QFontMetrics metrics = painter.fontMetrics();
    if (x2 - x1 < metrics.averageCharWidth() * 2) return;
    const QString words =
        metrics.elidedText(OneLineText(c, u" "), Qt::ElideRight, static_cast<int>(x2 - x1));
    if (words.isEmpty() || words == QStringLiteral("\u2026")) return;
    painter.setPen(kLabel);
    painter.drawText(QRect(static_cast<int>(x1), lanes.mid + 1, static_cast<int>(x2 - x1),
                           lanes.bottom - lanes.mid - 1),
                     Qt::AlignLeft | Qt::AlignVCenter, words);
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
    peaksDrawnSeconds_ = -1;
    needsRender_ = true;
    update();
}

void TimelineWindow::SetShotChanges(std::vector<int32_t> frames) {
    shotChanges_ = std::move(frames);
    needsRender_ = true;
    update();
}

void TimelineWindow::SetSpeech(std::vector<SpeechSpan> runs) {
    speech_ = std::move(runs);
    needsRender_ = true;
    update();
}

void TimelineWindow::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    // Audio that arrived since the last drawing is drawn again only when it reaches the view.
    if (peaks_ && secondsPerFrame_ > 0 && !needsRender_) {
        const double viewEnd = static_cast<double>(FrameAt(viewWidth_)) * secondsPerFrame_;
        if (std::min(peaks_->KnownSeconds(), viewEnd) != std::min(peaksDrawnSeconds_, viewEnd))
            needsRender_ = true;
    }
    if (needsRender_) Render();
    QPainter painter(this);
    const QPoint origin = contentsRect().topLeft();
    painter.drawImage(origin, image_, QRect(0, 0, viewWidth_, viewHeight_));
    if (indexedFrames_ >= 0) {
        const int split = static_cast<int>(
            std::clamp<int64_t>(indexedFrames_ < 0 ? 0 : XOf(indexedFrames_), 0, viewWidth_));
        painter.fillRect(QRect(origin.x(), origin.y(), split, kIndexStrip), kIndexed);
        painter.fillRect(QRect(origin.x() + split, origin.y(), viewWidth_ - split, kIndexStrip),
                         kNotIndexed);
    }
    // The marker goes on the window, not into the image; none at the left edge.
    const int64_t x = XOf(currentFrame_);
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
    const Lanes lanes = BlockLanes();
    if (y < lanes.top || y > lanes.bottom) return {};
    // Start where drawing starts: the view's first frame, whatever the marker's frame.
    Caption* c =
        currentCaption_
            ? currentCaption_
            : PickCurrentCaption(static_cast<int32_t>(std::min<int64_t>(base_, INT32_MAX)));
    for (; c; c = c->next) {
        const int64_t xs = XOf(c->startFrame);
        const int64_t xe = std::max(XOf(c->endFrame), xs + 1);
        if (x < XOf(c->startFrame - GetLoadFrames(*c))) return {};  // later ones lie further right
        if (y <= lanes.mid && x <= xs) return {c, kLoadingBlock};
        if (y < lanes.mid) continue;
        // The end's grip reaches a few pixels either side of the edge at every zoom, but never
        // over the first half of a short block (which moves it) nor into the next caption's.
        const int64_t inside = std::min<int64_t>(kEndGripPixels, (xe - xs) / 2);
        int64_t outside = kEndGripPixels;
        if (c->next != nullptr) outside = std::min(outside, XOf(c->next->startFrame) - xe);
        if (xe - inside <= x && x < xe + outside) return {c, kEndEdge};
        if (xs <= x && x < xe) return {c, kDisplayBlock};
    }
    return {};
}

}  // namespace vantrel
