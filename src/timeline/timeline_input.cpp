// The timeline's mouse and keyboard: seeking, moving a caption, dragging its end, deleting.
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "editor/caption_steps.h"
#include "timeline/timeline_window.h"

namespace vantrel {

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
        mainView_.SeekToFrame(Base() + p.x());
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
        bounds = EndBounds(c);
    } else {
        setCursor(Qt::SizeAllCursor);
        dragMode_ = kMoving;
        dragStartFrame_ = c.startFrame;
        bounds = StartBounds(c);
    }
    dragMinDelta_ = bounds.lowest - dragStartFrame_;
    dragMaxDelta_ = bounds.highest - dragStartFrame_;
    dragCaption_ = &c;
    dragStartX_ = x;
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
    const int64_t delta = std::clamp(int64_t{x} - dragStartX_, dragMinDelta_, dragMaxDelta_);
    const auto target = static_cast<int32_t>(dragStartFrame_ + delta);
    if (dragMode_ == kMoving) {
        if (target == c.startFrame) return;
        MoveCaptionStart(mainView_.Project().captions, c, target);
        // The caption drawn first may no longer be the last one starting before the view.
        ForgetCurrentCaption();
    } else {
        if (target == c.endFrame) return;
        SetCaptionEnd(c, target);
    }
    needsRender_ = true;
    update();
    // The caption may leave the current frame, or come to it.
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
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
            mainView_.SeekToFrame(Base() + p.x());
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
    // A click on a block without moving seeks to its caption's start.
    if ((dragMode_ == kMoving || dragMode_ == kDraggingEnd) && dragCaption_ && p.x() == dragStartX_)
        mainView_.SeekToFrame(dragCaption_->startFrame);
    EndDrag();
    dragStartX_ = 0;
    lastMousePosition_ = QPoint(-1, -1);
    lastMouseButtons_ = Qt::NoButton;
    UpdateCursor(p.x(), p.y());
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
}

// The cursor shows what a press would do.
void TimelineWindow::UpdateCursor(int x, int y) {
    if (y < viewHeight_ / 6 || y > 5 * viewHeight_ / 6) {
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
    if (event->key() != Qt::Key_Delete) {
        QFrame::keyPressEvent(event);
        return;
    }
    if (EditingAllowed()) DeleteCurrentCaption();
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
