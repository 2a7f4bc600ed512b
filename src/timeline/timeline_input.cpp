// The timeline's mouse and keyboard: seeking, moving a caption, dragging its end, deleting.
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

#include "codec/encoder.h"
#include "timeline/timeline_window.h"

namespace vantrel {

namespace {

// The least room between a moved caption's start and the next caption's start.
constexpr int64_t kLeastDisplay = 3;

}  // namespace

QPoint TimelineWindow::AreaPoint(const QMouseEvent* event) const {
    return event->position().toPoint() - contentsRect().topLeft();
}

bool TimelineWindow::EditingAllowed() const {
    const PlayState state = mainView_.CurrentPlayState();
    return state == PlayState::Stopped || state == PlayState::Paused;
}

void TimelineWindow::SetModified() {
    mainView_.Project().modified = true;
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

// Fixes the bounds of the drag: a moved caption keeps its loading after the previous caption's
// start (and after a Manual previous caption's end) and leaves the next caption room to load
// and itself at least three frames (its whole length when it is Manual); an end stays after the
// start and before the next caption.
void TimelineWindow::BeginDrag(const Hit& hit, int x) {
    Caption& c = *hit.caption;
    const Caption* prev = c.prev;
    Caption* next = c.next;
    int64_t lowest = 0;
    int64_t highest = 0;
    if (hit.part == kEndEdge) {
        setCursor(Qt::SizeHorCursor);
        dragMode_ = kDraggingEnd;
        dragStartFrame_ = c.endFrame;
        lowest = int64_t{c.startFrame} + 1;
        highest = next ? int64_t{next->startFrame} - 1 : kLastEndFrame;
    } else {
        setCursor(Qt::SizeAllCursor);
        dragMode_ = kMoving;
        dragStartFrame_ = c.startFrame;
        const int64_t load = GetLoadFrames(c);
        lowest = load;
        if (prev) {
            lowest = std::max(lowest, prev->startFrame + load + 1);
            if (prev->timingMode == Manual) lowest = std::max<int64_t>(lowest, prev->endFrame + 1);
        }
        highest = kLastStartFrame;
        if (next) {
            const int64_t least =
                c.timingMode == Manual ? int64_t{c.endFrame} - c.startFrame + 1 : kLeastDisplay;
            highest = std::min<int64_t>({highest, next->startFrame - least,
                                         next->startFrame - int64_t{GetLoadFrames(*next)} - 1});
        }
    }
    dragMinDelta_ = lowest - dragStartFrame_;
    dragMaxDelta_ = highest - dragStartFrame_;
    // A caption already squeezed past both bounds has no place to go: it stays.
    if (dragMinDelta_ > dragMaxDelta_) dragMinDelta_ = dragMaxDelta_ = 0;
    dragCaption_ = &c;
    dragStartX_ = x;
}

// Only a real change touches the caption: a drag that comes back to where it began puts the
// caption back, and one held against a bound changes nothing and sets no modified flag.
void TimelineWindow::DragTo(int x) {
    if (!dragCaption_) return;
    Caption& c = *dragCaption_;
    const int64_t delta = std::clamp(int64_t{x} - dragStartX_, dragMinDelta_, dragMaxDelta_);
    const auto target = static_cast<int32_t>(dragStartFrame_ + delta);
    if (dragMode_ == kMoving) {
        if (target == c.startFrame) return;
        c.MoveStart(target);
        c.ApplyTiming();
        if (c.prev) c.prev->ApplyTiming();
        mainView_.Project().captions.RefreshBucketKeys();
        // The caption drawn first may no longer be the last one starting before the view.
        ForgetCurrentCaption();
    } else {
        if (target == c.endFrame) return;
        c.timingMode = Manual;
        c.endFrame = target;
    }
    SetModified();
    needsRender_ = true;
    update();
    // The caption may leave the current frame, or come to it.
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
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
    dragMode_ = kNoDrag;
    dragCaption_ = nullptr;
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

void TimelineWindow::DeleteCurrentCaption() {
    CaptionProject& project = mainView_.Project();
    Caption* c = project.captions.CaptionAt(mainView_.CurrentFrame());
    if (!c || !mainView_.AskYesNo("Delete this caption?")) return;
    ForgetCurrentCaption();
    mainView_.ForgetShownCaption();
    if (dragCaption_ == c) {
        dragCaption_ = nullptr;
        dragMode_ = kNoDrag;
    }
    project.captions.Remove(c);
    project.modified = true;
    mainView_.ResetAndShowFrame(mainView_.CurrentFrame());
    update();
}

}  // namespace vantrel
