// Showing captions and the edit lifecycle of the caption window.
#include "caption_window/caption_window.h"

#include <QPainter>

#include "caption_window/caption_font.h"
#include "caption_window/caption_render.h"
#include "editor/typing_attribute.h"
#include "video/video_window.h"

namespace vantrel {

namespace {

// The caret stands one pixel left of the box edge of its column, two below the box top.
constexpr int kCaretLeft = kTextLeft - 1;
constexpr int kCaretTop = kTextTop + 2;
constexpr int kCaretWidth = 2;
constexpr int kCaretHeight = 14;

}  // namespace

CaptionWindow::CaptionWindow(QWidget* parent)
    : QWidget(parent), image_(kScreenWidth, kScreenHeight, QImage::Format_RGB32) {
    setFixedSize(kScreenWidth, kScreenHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The first rendering overwrites it.
    image_.fill(qRgb(255, 128, 0));
}

int32_t CaptionWindow::FrameOrCurrent(int32_t frame) const {
    if (frame != -1 || mainView == nullptr) return frame;
    return mainView->CurrentFrame();
}

bool CaptionWindow::OnAir(const Caption* caption, int32_t frame) {
    return caption != nullptr && caption->startFrame <= frame && frame < caption->endFrame;
}

void CaptionWindow::ForgetShownCaption() {
    shownCaption = nullptr;
    context_.needsRefresh = true;
}

// The last caption that starts at or before the frame, found from the hint or the list's index.
void CaptionWindow::PickShownCaption(int32_t frame, Caption* hint) {
    if (IsEditing()) {
        shownCaption = context_.editCopy.get();
        return;
    }
    frame = FrameOrCurrent(frame);
    Caption* c = hint;
    if (c == nullptr && mainView != nullptr) c = mainView->Project().captions.BucketStart(frame);
    if (c == nullptr) {
        shownCaption = nullptr;
        context_.needsRefresh = true;
        return;
    }
    while (c != nullptr && c->startFrame > frame) c = c->prev;
    while (c != nullptr && c->next != nullptr && c->next->startFrame <= frame) c = c->next;
    if (c != shownCaption) context_.needsRefresh = true;
    shownCaption = c;
}

void CaptionWindow::ShowFrame(int32_t frame) {
    PickShownCaption(frame, shownCaption);
    RefreshForFrame(frame);
}

void CaptionWindow::ResetAndShowFrame(int32_t frame) {
    shownCaption = nullptr;
    ShowFrame(frame);
    repaint();
}

void CaptionWindow::RefreshForFrame(int32_t frame) {
    if (OnAir(shownCaption, FrameOrCurrent(frame))) {
        ShowCaption();
    } else {
        ClearDisplay();
    }
}

void CaptionWindow::ClearDisplay() {
    if (displayCleared) return;
    if (videoWindow_ != nullptr) videoWindow_->setMask(QRegion(0, 0, kScreenWidth, kScreenHeight));
    displayCleared = true;
    if (mainView != nullptr) mainView->ClearPanel();
}

// Renders only when the shown caption or its screen changed, or after the display was cleared.
void CaptionWindow::ShowCaption() {
    if (!displayCleared && !context_.needsRefresh) return;
    if (shownCaption == nullptr) {
        ClearDisplay();
        return;
    }
    std::optional<QRegion> region = RenderCaption(*shownCaption, image_);
    if (region && IsEditing()) {
        // The boxes either side of the caret, so that it shows on empty positions too.
        region = *region - CellBox(context_.caretRow, context_.caretColumn - 1)
                               .united(CellBox(context_.caretRow, context_.caretColumn));
    }
    if (videoWindow_ != nullptr) {
        if (region) {
            videoWindow_->setMask(*region);
        } else {
            videoWindow_->clearMask();
        }
    }
    context_.needsRefresh = false;
    displayCleared = false;
    repaint();
    if (mainView != nullptr) mainView->FillPanel(*shownCaption);
}

void CaptionWindow::SetTransportState(PlayState state) {
    if (state == transportState) return;
    context_.needsRefresh = true;
    if (transportState == PlayState::Scanning) {
        shownCaption = nullptr;
    } else if (transportState == PlayState::Playing && state != PlayState::Paused) {
        shownCaption = nullptr;
        ClearDisplay();
    }
    transportState = state;
    switch (state) {
        case PlayState::Stopped:
            shownCaption = nullptr;
            PickShownCaption(-1, nullptr);
            RefreshForFrame(-1);
            break;
        case PlayState::Paused:
            if (shownCaption == nullptr) PickShownCaption(-1, nullptr);
            RefreshForFrame(-1);
            break;
        case PlayState::Playing:
            PickShownCaption(-1, nullptr);
            RefreshForFrame(-1);
            break;
        case PlayState::Scanning:
            ClearDisplay();
            break;
        case PlayState::ReplacingCaptions:
            break;
    }
}

void CaptionWindow::Beep() {
    if (mainView != nullptr) mainView->Beep();
}

void CaptionWindow::PlaceCaret(int row, int column, uint8_t typingAttribute) {
    caretItalic_ = IsItalic(typingAttribute);
    SetCaretVisible(false);
    MoveCaret(row, column);
    SetCaretVisible(true);
    emit EditingChanged();
}

void CaptionWindow::MoveCaret(int row, int column) {
    context_.caretRow = row;
    context_.caretColumn = column;
    // The slanted caret leans into the box before it.
    caretPosition_ = QPoint(kCaretLeft + kCellPitchX * column - (caretItalic_ ? 1 : 0),
                            kCaretTop + kCellPitchY * row);
    if (caretShown) update();
}

void CaptionWindow::SetCaretVisible(bool on) {
    if (on == caretShown) return;
    caretShown = on;
    update();
}

void CaptionWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    if (caretShown) {
        // The caret inverts what lies under it, so it shows on every background.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (caretItalic_) {
            painter.drawImage(caretPosition_, CaptionFont::Get().ItalicCaret().convertToFormat(
                                                  QImage::Format_RGB32));
        } else {
            painter.fillRect(QRect(caretPosition_, QSize(kCaretWidth, kCaretHeight)), Qt::white);
        }
    }
}

void CaptionWindow::BeginEdit(int row, int column) {
    editStartFrame = mainView != nullptr ? mainView->CurrentFrame() : 0;
    setFocus(Qt::MouseFocusReason);
    context_.caretRow = row;
    context_.caretColumn = column;
    if (!IsEditing()) {
        pendingAccent = 0;
        PickShownCaption(editStartFrame, nullptr);
        if (OnAir(shownCaption, editStartFrame)) {
            editSource = shownCaption;
            context_.editCopy = std::make_unique<Caption>(*editSource);
            PickUpAttribute(context_);
        } else {
            editSource = nullptr;
            context_.editCopy = std::make_unique<Caption>();
            context_.editCopy->startFrame = editStartFrame;
            context_.editCopy->endFrame = editStartFrame + 1;
            context_.typingAttribute = kDefaultAttribute;
        }
    } else {
        PickUpAttribute(context_);
    }
    PlaceCaret(context_.caretRow, context_.caretColumn, context_.typingAttribute);
    context_.needsRefresh = true;
    shownCaption = context_.editCopy.get();
    ShowCaption();
}

// The copy replaces its source in the list, or enters the list as a new caption; a new caption
// left without text is dropped.
void CaptionWindow::EndEdit() {
    if (!IsEditing()) return;
    std::unique_ptr<Caption> copy = std::move(context_.editCopy);
    if (editSource == nullptr && copy->CountOccupiedRows() > 0 && mainView != nullptr) {
        // A caption that shows for no frame (one emptied by an edit) may start here: it takes
        // the new content, rather than gaining a twin on its frame that timing cannot order
        // and that a project file could not hold.
        Caption* same = mainView->Project().captions.CaptionAtOrBefore(copy->startFrame);
        if (same != nullptr && same->startFrame == copy->startFrame) editSource = same;
    }
    if (editSource != nullptr) {
        // The source keeps its place in the list: only its content is replaced.
        Caption* prev = editSource->prev;
        Caption* next = editSource->next;
        *editSource = *copy;
        editSource->prev = prev;
        editSource->next = next;
        editSource->ApplyTiming();
    } else if (copy->CountOccupiedRows() > 0 && mainView != nullptr) {
        mainView->Project().captions.Insert(std::move(copy))->ApplyTiming();
    }
    SetCaretVisible(false);
    editSource = nullptr;
    ForgetShownCaption();
    repaint();
    if (mainView != nullptr) mainView->ForgetTimelineCaption();
    emit EditingChanged();
}

void CaptionWindow::ToggleItalics() {
    vantrel::ToggleItalics(context_, *this);
    emit EditingChanged();
}

void CaptionWindow::ToggleUnderline() {
    vantrel::ToggleUnderline(context_);
    emit EditingChanged();
}

void CaptionWindow::SetModified() {
    if (mainView != nullptr) mainView->Project().modified = true;
}

}  // namespace vantrel
