// Showing captions and the edit lifecycle of the caption window.
#include "caption_window/caption_window.h"

#include <QPainter>
#include <algorithm>

#include "caption_window/caption_font.h"
#include "caption_window/caption_render.h"
#include "check/caption_words.h"
#include "editor/edit_session.h"
#include "editor/selection_commands.h"
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
    // The screen at its own size until a layout gives it another.
    resize(kScreenWidth, kScreenHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // The first rendering overwrites it.
    image_.fill(qRgb(255, 128, 0));
}

void CaptionWindow::SetVideoWindow(VideoWindow* window) {
    if (videoWindow_ != nullptr) disconnect(videoWindow_, nullptr, this, nullptr);
    videoWindow_ = window;
    if (videoWindow_ == nullptr) return;
    videoWindow_->setGeometry(rect());
    connect(videoWindow_, &VideoWindow::PictureMoved, this, &CaptionWindow::FollowPicture);
}

ScreenMap CaptionWindow::Map() const {
    return ScreenMap(videoWindow_ != nullptr ? videoWindow_->PictureRect()
                                             : FitPicture(size(), kStandardShape));
}

void CaptionWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The picture's window follows, and tells of its picture's new place.
    if (videoWindow_ != nullptr) {
        videoWindow_->setGeometry(rect());
    } else {
        FollowPicture();
    }
}

void CaptionWindow::FollowPicture() {
    scaled_ = QImage();
    if (!displayCleared_) ApplyMask();
    // The caret is placed in screen units: it moves with the map.
    update();
}

void CaptionWindow::ApplyMask() {
    if (videoWindow_ == nullptr) return;
    if (boxes_) {
        videoWindow_->setMask(QRegion(videoWindow_->rect()) - Map().ToWindow(*boxes_));
    } else {
        videoWindow_->clearMask();
    }
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
    scaled_ = QImage();  // let go first, so that the drawing does not copy the image
    std::optional<QRegion> region = RenderCaption(*shownCaption_, image_);
    if (region) MarkWords();
    if (IsEditing()) InvertSelection();
    if (IsEditing() && mainView_ != nullptr) {
        // The panel shows the frames the commit will give.
        PreviewEditTiming(mainView_->Project().captions, context_);
    }
    if (region && IsEditing()) {
        // The boxes either side of the caret, so that it shows on empty positions too.
        region = *region - CellBox(context_.caretRow, context_.caretColumn - 1)
                               .united(CellBox(context_.caretRow, context_.caretColumn));
    }
    boxes_.reset();
    if (region) boxes_ = QRegion(0, 0, kScreenWidth, kScreenHeight) - *region;
    ApplyMask();
    context_.needsRefresh = false;
    displayCleared_ = false;
    repaint();
    if (mainView_ != nullptr) mainView_->FillPanel(*shownCaption_);
    if (IsEditing()) emit EditingChanged();
}

void CaptionWindow::SetSpeller(const Speller* speller) {
    speller_ = speller;
    context_.needsRefresh = true;
    ShowCaption();
}

void CaptionWindow::MarkCells(const Caption* caption, int row, int column, int length) {
    mark_ = {caption, row, column, length};
    context_.needsRefresh = true;
    ShowCaption();
}

void CaptionWindow::MarkWords() {
    if (speller_ != nullptr && transportState_ != PlayState::Playing) {
        for (const CaptionWord& w : MisspelledWords(*shownCaption_, *speller_)) {
            // A word is not wrong while it is still being typed.
            const bool typing = IsEditing() && w.row == context_.caretRow &&
                                w.column + w.length == context_.caretColumn;
            if (!typing) UnderlineCells(image_, w.row, w.column, w.length);
        }
    }
    if (!IsEditing() && mark_.caption == shownCaption_ && mark_.length > 0)
        InvertCells(*shownCaption_, image_, mark_.row, mark_.column, mark_.column + mark_.length);
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
    const ScreenMap map = Map();
    const QRect area = map.ToWindow(QRect(0, 0, kScreenWidth, kScreenHeight));
    // In device pixels, so that a scaled screen gets a sharp font too.
    const qreal ratio = devicePixelRatioF();
    const QSize device = (QSizeF(area.size()) * ratio).toSize();
    if (scaled_.size() != device) {
        // Square pixels up to the whole part of the scale keep the font crisp; only what is
        // left of it is smoothed.
        const int whole = std::max(1, static_cast<int>(map.Scale() * ratio));
        scaled_ = whole > 1 ? image_.scaled(image_.size() * whole) : image_;
        if (scaled_.size() != device) {
            scaled_ = scaled_.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        scaled_.setDevicePixelRatio(ratio);
    }
    for (const QRect& r : QRegion(rect()) - area) painter.fillRect(r, Qt::black);
    painter.drawImage(area.topLeft(), scaled_);
    if (caretShown_) {
        // The caret inverts what lies under it, so it shows on every background.
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        if (caretItalic_) {
            const QImage caret =
                CaptionFont::Get().ItalicCaret().convertToFormat(QImage::Format_RGB32);
            const QRect place = map.ToWindow(QRect(caretPosition_, caret.size()));
            painter.drawImage(place.topLeft(), caret.scaled(place.size()));
        } else {
            painter.fillRect(map.ToWindow(QRect(caretPosition_, QSize(kCaretWidth, kCaretHeight))),
                             Qt::white);
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
    ClearSelection(context_);
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

}  // namespace vantrel
