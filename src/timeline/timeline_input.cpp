// The timeline's mouse and keyboard: seeking, moving a caption, dragging its end, deleting,
// scrolling and zooming.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "editor/caption_steps.h"
#include "timeline/timeline_window.h"

namespace vantrel {

namespace {

constexpr int kSnapPixels = 6;    // how near a target pulls a drag
constexpr int kWheelPixels = 65;  // a notch of the plain wheel
constexpr int kWheelNotch = 120;  // Qt's angle units per notch

}  // namespace

QPoint TimelineWindow::AreaPoint(const QMouseEvent* event) const {
    return event->position().toPoint() - contentsRect().topLeft();
}

bool TimelineWindow::EditingAllowed() const {
    const PlayState state = mainView_.CurrentPlayState();
    return state == PlayState::Stopped || state == PlayState::Paused;
}

void TimelineWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    const QPoint p = AreaPoint(event);
    const Hit hit = HitTest(p.x(), p.y());
    if (hit.part == kNothing) {
        // Empty space seeks in any play state.
        mainView_.SeekToFrame(
            static_cast<int32_t>(std::clamp<int64_t>(FrameAt(p.x()), 0, INT32_MAX)));
        dragMode_ = kSeeking;
    } else if (EditingAllowed()) {
        BeginDrag(hit, p.x());
    }
}

// Fixes the bounds of the drag (those of the core's steps) and opens its undo step, which the
// release makes.
void TimelineWindow::BeginDrag(const Hit& hit, int x) {
    Caption& c = *hit.caption;
    FrameBounds bounds;
    if (hit.part == kEndEdge) {
        setCursor(Qt::SizeHorCursor);
        dragMode_ = kDraggingEnd;
        dragStartFrame_ = c.endFrame;
        bounds = EndBounds(c, mainView_.Project().captions.Gap());
    } else {
        setCursor(Qt::SizeAllCursor);
        dragMode_ = kMoving;
        dragStartFrame_ = c.startFrame;
        bounds = StartBounds(c, mainView_.Project().captions.Gap());
    }
    dragMinDelta_ = bounds.lowest - dragStartFrame_;
    dragMaxDelta_ = bounds.highest - dragStartFrame_;
    dragCaption_ = &c;
    ChooseDragTargets();
    dragStartX_ = x;
    dragFramesPerPixel_ = framesPerPixel_;
    dragUndoFrame_ = c.startFrame;
    dragChange_ = std::make_unique<CaptionChange>(
        mainView_.History(), dragMode_ == kMoving ? kMoveCaptionStep : kDragEndStep);
    dragChange_->Touch(&c);
    dragChange_->Touch(c.prev);
}

// Only a real change touches the caption: a drag that comes back to where it began puts the
// caption back, and one held against a bound changes nothing and makes no step.
void TimelineWindow::DragTo(int x) {
    if (!dragCaption_) return;
    Caption& c = *dragCaption_;
    const int64_t delta = std::clamp<int64_t>(std::llround((x - dragStartX_) * dragFramesPerPixel_),
                                              dragMinDelta_, dragMaxDelta_);
    const auto target = static_cast<int32_t>(Snapped(dragStartFrame_ + delta));
    CaptionList& captions = mainView_.Project().captions;
    const int32_t start = c.startFrame;
    if (dragMode_ == kMoving) {
        if (target == c.startFrame) return;
        MoveCaptionStart(captions, c, target);
        // The caption drawn first may no longer be the last one starting before the view.
        ForgetCurrentCaption();
    } else {
        if (target == c.endFrame) return;
        SetCaptionEnd(c, target);
    }
    // The caption list shows the new times as the mouse goes, not only once the drag's step is
    // made.
    captions.NotifyChanged({std::min(start, c.startFrame), std::max(start, c.startFrame)});
    needsRender_ = true;
    update();
    // The caption may leave the current frame, or come to it.
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
}

// Shot changes, and the speech's onsets for a move or its ends for an end, as turned on.
void TimelineWindow::ChooseDragTargets() {
    dragTargets_.clear();
    if (speechSnapping_) {
        for (const SpeechSpan& run : speech_)
            dragTargets_.push_back(dragMode_ == kMoving ? run.start : run.end);
    }
    if (snapping_) {
        const size_t speech = dragTargets_.size();
        dragTargets_.insert(dragTargets_.end(), shotChanges_.begin(), shotChanges_.end());
        std::inplace_merge(dragTargets_.begin(), dragTargets_.begin() + speech, dragTargets_.end());
    }
}

int64_t TimelineWindow::Snapped(int64_t frame) const {
    if (!(snapping_ || speechSnapping_) || dragCaption_ == nullptr) return frame;
    const FrameBounds bounds{dragStartFrame_ + dragMinDelta_, dragStartFrame_ + dragMaxDelta_};
    const auto reach = static_cast<int64_t>(std::floor(kSnapPixels * dragFramesPerPixel_));
    const int32_t gap = mainView_.Project().captions.Gap();
    return dragMode_ == kMoving ? SnapStart(*dragCaption_, frame, bounds, dragTargets_, reach, gap)
                                : SnapEnd(*dragCaption_, frame, bounds, dragTargets_, reach, gap);
}

// The drag's step, when it changed anything.
void TimelineWindow::EndDrag() {
    if (dragChange_ != nullptr && dragCaption_ != nullptr) {
        dragChange_->Commit(dragUndoFrame_, dragCaption_->startFrame);
    }
    dragChange_.reset();
    dragMode_ = kNoDrag;
    dragCaption_ = nullptr;
}

void TimelineWindow::ReleaseCaptions() {
    EndDrag();
    ForgetCurrentCaption();
}

void TimelineWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = AreaPoint(event);
    if (p == lastMousePosition_ && event->buttons() == lastMouseButtons_) return;
    lastMousePosition_ = p;
    lastMouseButtons_ = event->buttons();
    if (!(event->buttons() & Qt::LeftButton)) {
        UpdateCursor(p.x(), p.y());
        return;
    }
    switch (dragMode_) {
        case kSeeking:
            mainView_.SeekToFrame(
                static_cast<int32_t>(std::clamp<int64_t>(FrameAt(p.x()), 0, INT32_MAX)));
            break;
        case kMoving:
            setCursor(Qt::SizeAllCursor);
            DragTo(p.x());
            break;
        case kDraggingEnd:
            setCursor(Qt::SizeHorCursor);
            DragTo(p.x());
            break;
        default:
            break;
    }
}

void TimelineWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = AreaPoint(event);
    // A click on a block without moving seeks to its caption's start; after a drag the caption
    // stays the one shown (and in the panel) by the same seek when the marker is outside it.
    if ((dragMode_ == kMoving || dragMode_ == kDraggingEnd) && dragCaption_) {
        const Caption& c = *dragCaption_;
        const int32_t frame = mainView_.CurrentFrame();
        if (p.x() == dragStartX_ || frame < c.startFrame || frame >= c.endFrame)
            mainView_.SeekToFrame(c.startFrame);
    }
    EndDrag();
    dragStartX_ = 0;
    lastMousePosition_ = QPoint(-1, -1);
    lastMouseButtons_ = Qt::NoButton;
    UpdateCursor(p.x(), p.y());
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
}

// The cursor shows what a press would do.
void TimelineWindow::UpdateCursor(int x, int y) {
    const Lanes lanes = BlockLanes();
    if (y < lanes.top || y > lanes.bottom) {
        setCursor(Qt::ArrowCursor);
        return;
    }
    if (!EditingAllowed()) return;
    switch (HitTest(x, y).part) {
        case kLoadingBlock:
        case kDisplayBlock:
            setCursor(Qt::SizeAllCursor);
            break;
        case kEndEdge:
            setCursor(Qt::SizeHorCursor);
            break;
        default:
            setCursor(Qt::ArrowCursor);
            break;
    }
}

void TimelineWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Delete:
            if (EditingAllowed()) DeleteCurrentCaption();
            return;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            return;
        case Qt::Key_Minus:
            ZoomOut();
            return;
        default:
            QFrame::keyPressEvent(event);
    }
}

// The plain wheel scrolls; with Ctrl it zooms about the mouse, a power of two a notch.
void TimelineWindow::wheelEvent(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    const int turn = angle.y() != 0 ? angle.y() : angle.x();
    event->accept();
    if (turn == 0) return;
    if (event->modifiers() & Qt::ControlModifier) {
        wheelZoom_ += turn;
        const int x = static_cast<int>(event->position().x()) - contentsRect().left();
        for (; wheelZoom_ >= kWheelNotch; wheelZoom_ -= kWheelNotch) ZoomIn(std::max(x, 0));
        for (; wheelZoom_ <= -kWheelNotch; wheelZoom_ += kWheelNotch) ZoomOut(std::max(x, 0));
    } else {
        const double pixels = -static_cast<double>(turn) * kWheelPixels / kWheelNotch;
        const auto frames = static_cast<int64_t>(std::llround(pixels * framesPerPixel_));
        ScrollTo(base_ + (frames != 0 ? frames : (pixels > 0 ? 1 : -1)));
    }
}

// No question: undo brings the caption back.
void TimelineWindow::DeleteCurrentCaption() {
    CaptionProject& project = mainView_.Project();
    Caption* c = project.captions.CaptionAt(mainView_.CurrentFrame());
    if (!c) return;
    EndDrag();
    ForgetCurrentCaption();
    mainView_.ForgetShownCaption();
    DeleteCaptionStep(mainView_.History(), *c);
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
    update();
}

}  // namespace vantrel
