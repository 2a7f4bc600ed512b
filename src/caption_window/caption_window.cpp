// Showing captions and the edit lifecycle of the caption window.
#include "caption_window/caption_window.h"

#include <QPainter>

#include "caption_window/caption_font.h"
#include "caption_window/caption_render.h"
#include "editor/edit_session.h"
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
    if (frame != -1 || mainView_ == nullptr) return frame;
    return mainView_->CurrentFrame();
}

bool CaptionWindow::OnAir(const Caption* caption, int32_t frame) {
    return caption != nullptr && caption->startFrame <= frame && frame < caption->endFrame;
}

void CaptionWindow::ForgetShownCaption() {
    shownCaption_ = nullptr;
    context_.needsRefresh = true;
}

// The last caption that starts at or before the frame, found from the hint or the list's index.
void CaptionWindow::PickShownCaption(int32_t frame, Caption* hint) {
    if (IsEditing()) {
        shownCaption_ = context_.editCopy.get();
        return;
    }
    frame = FrameOrCurrent(frame);
    Caption* c = hint;
    if (c == nullptr && mainView_ != nullptr) c = mainView_->Project().captions.BucketStart(frame);
    if (c == nullptr) {
        shownCaption_ = nullptr;
        context_.needsRefresh = true;
        return;
    }
    while (c != nullptr && c->startFrame > frame) c = c->prev;
    while (c != nullptr && c->next != nullptr && c->next->startFrame <= frame) c = c->next;
    if (c != shownCaption_) context_.needsRefresh = true;
    shownCaption_ = c;
}

// What the screen shows, in one place: the caption on the air at the frame, or nothing; a scan
// shows nothing, and captions being replaced are never picked.
void CaptionWindow::ShowFrame(int32_t frame) {
    if (transportState_ == PlayState::Scanning || transportState_ == PlayState::ReplacingCaptions) {
        shownCaption_ = nullptr;
        ClearDisplay();
        return;
    }
    PickShownCaption(frame, shownCaption_);
    RefreshForFrame(frame);
}

void CaptionWindow::ResetAndShowFrame(int32_t frame) {
    shownCaption_ = nullptr;
    ShowFrame(frame);
    repaint();
}

void CaptionWindow::RefreshForFrame(int32_t frame) {
    if (OnAir(shownCaption_, FrameOrCurrent(frame))) {
        ShowCaption();
    } else {
        ClearDisplay();
    }
}

void CaptionWindow::ClearDisplay() {
    if (displayCleared_) return;
    // No mask rather than a whole-window one: a mask that grows to the whole window does not
    // get the caption's boxes painted over again (a mask that goes does), so they would stay.
    if (videoWindow_ != nullptr) videoWindow_->clearMask();
    displayCleared_ = true;
    if (mainView_ != nullptr) mainView_->ClearPanel();
}

// Renders only when the shown caption or its screen changed, or after the display was cleared.
void CaptionWindow::ShowCaption() {
    if (!displayCleared_ && !context_.needsRefresh) return;
    if (shownCaption_ == nullptr) {
        ClearDisplay();
        return;
    }
    std::optional<QRegion> region = RenderCaption(*shownCaption_, image_);
    if (IsEditing() && mainView_ != nullptr) {
        // The panel shows the frames the commit will give.
        PreviewEditTiming(mainView_->Project().captions, context_);
    }
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
    displayCleared_ = false;
    repaint();
    if (mainView_ != nullptr) mainView_->FillPanel(*shownCaption_);
    if (IsEditing()) emit EditingChanged();
}

void CaptionWindow::SetTransportState(PlayState state) {
    if (state == transportState_) return;
    context_.needsRefresh = true;
    if (transportState_ == PlayState::Scanning) {
        shownCaption_ = nullptr;
    } else if (transportState_ == PlayState::Playing && state != PlayState::Paused) {
        shownCaption_ = nullptr;
        ClearDisplay();
    }
    transportState_ = state;
    switch (state) {
        case PlayState::Stopped:
            shownCaption_ = nullptr;
            PickShownCaption(-1, nullptr);
            RefreshForFrame(-1);
            break;
        case PlayState::Paused:
            if (shownCaption_ == nullptr) PickShownCaption(-1, nullptr);
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
    ++refusals_;
    if (mainView_ != nullptr) mainView_->Beep();
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
    if (caretShown_) update();
}

void CaptionWindow::SetCaretVisible(bool on) {
    if (on == caretShown_) return;
    caretShown_ = on;
    update();
}

void CaptionWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    if (caretShown_) {
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
    if (mainView_ == nullptr) return;
    const int32_t frame = mainView_->CurrentFrame();
    setFocus(Qt::MouseFocusReason);
    if (!IsEditing()) {
        pendingAccent_ = 0;
        BeginEditSession(mainView_->Project().captions, frame, context_);
    }
    OpenEditor(row, column);
}

void CaptionWindow::BeginNewCaption(std::unique_ptr<Caption> caption, const char* stepName) {
    EndEdit();
    if (mainView_ == nullptr) return;
    setFocus(Qt::OtherFocusReason);
    pendingAccent_ = 0;
    BeginNewCaptionSession(std::move(caption), stepName, context_);
    // Where captions usually go: the start of the bottom row.
    OpenEditor(kScreenRows - 1, 4);
}

void CaptionWindow::OpenEditor(int row, int column) {
    context_.caretRow = row;
    context_.caretColumn = column;
    PickUpAttribute(context_);
    PlaceCaret(context_.caretRow, context_.caretColumn, context_.typingAttribute);
    context_.needsRefresh = true;
    shownCaption_ = context_.editCopy.get();
    ShowCaption();
}

// The session commits the copy into the list as one undo step; then the screen and the panel
// show what is on the air now (a new caption left empty is gone).
void CaptionWindow::EndEdit() {
    if (!IsEditing()) return;
    SetCaretVisible(false);
    if (mainView_ != nullptr) {
        CommitEditSession(mainView_->History(), context_);
    } else {
        context_.editCopy.reset();
    }
    ForgetShownCaption();
    if (mainView_ != nullptr) {
        ShowFrame(-1);
        mainView_->ForgetTimelineCaption();
    }
    repaint();
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

void CaptionWindow::SetTypingColour(int colour) {
    vantrel::SetTypingColour(context_, colour);
    emit EditingChanged();
}

}  // namespace vantrel
