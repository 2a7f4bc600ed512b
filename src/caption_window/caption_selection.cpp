// The selected text of the caption window: the keys that extend and act on it, the mouse drag,
// the clipboard, and its reverse video on the screen.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "caption_window/caption_keys.h"
#include "caption_window/caption_render.h"
#include "caption_window/caption_window.h"
#include "editor/caret_commands.h"
#include "editor/cell_classes.h"
#include "editor/clip_text.h"
#include "editor/run_commands.h"
#include "editor/selection_commands.h"
#include "editor/typing_attribute.h"

namespace vantrel {

namespace {

// The cells as they were copied, for pasting into a caption of this or another window.
constexpr char kCellsMimeType[] = "application/x-vantrel-caption-cells";

constexpr const char* kNoRoomToPaste =
    "No room on the caption screen for the pasted text: nothing was changed";

}  // namespace

bool CaptionWindow::HasSelection() const {
    return Selection(context_).has_value();
}

void CaptionWindow::DropAnchor() {
    ClearSelection(context_);
    HoldAnchor(context_);
}

void CaptionWindow::DragTo(int row, int column) {
    if (!IsEditableRow(row) || (row == context_.caretRow && column == context_.caretColumn)) return;
    HoldAnchor(context_);
    context_.caretRow = row;
    context_.caretColumn = column;
    Settle(context_, *this);
}

bool CaptionWindow::RunSelectionKey(KeyAction action, bool shift) {
    EditorView& view = *this;
    if (IsCaretMotion(action)) {
        const bool hadSelection = HasSelection();
        if (shift) {
            HoldAnchor(context_);
        } else {
            ClearSelection(context_);
        }
        // Motions that leave the screen as it is are shown with the selection's new extent.
        if (hadSelection || shift) context_.needsRefresh = true;
        return false;
    }
    const bool selected = HasSelection();
    switch (action) {
        case KeyAction::SelectAll:
            SelectAll(context_, view);
            return true;
        case KeyAction::CopyText:
            CopySelectedText();
            return true;
        case KeyAction::CutText:
            CutSelectedText();
            return true;
        case KeyAction::PasteText:
            PasteClipboard();
            return true;
        case KeyAction::Backspace:
        case KeyAction::DeleteForward:
            if (!selected) break;
            DeleteSelection(context_, view);
            return true;
        case KeyAction::RunUp:
        case KeyAction::RunDown:
            if (!selected) break;
            MoveSelectedRows(context_, view, action == KeyAction::RunUp ? -1 : +1);
            return true;
        case KeyAction::ToggleItalics:
        case KeyAction::ToggleUnderline:
        case KeyAction::SetColour:
            // ToggleItalics and the others look at the selection themselves.
            return false;
        default:
            break;
    }
    ClearSelection(context_);
    return false;
}

void CaptionWindow::CopySelectedText() {
    const ClipText text = CopySelection(context_);
    if (text.Empty()) return;
    auto* data = new QMimeData;
    const std::string cells = EncodeClipText(text);
    data->setData(kCellsMimeType, QByteArray(cells.data(), qsizetype(cells.size())));
    data->setText(QString::fromStdString(ClipTextToUtf8(text)));
    QApplication::clipboard()->setMimeData(data);
}

void CaptionWindow::CutSelectedText() {
    if (!HasSelection()) return;
    CopySelectedText();
    DeleteSelection(context_, *this);
}

void CaptionWindow::PasteClipboard() {
    if (!IsEditing()) return;
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (data == nullptr) return;
    ClipText text;
    if (data->hasFormat(kCellsMimeType)) {
        const QByteArray cells = data->data(kCellsMimeType);
        text = DecodeClipText(std::string_view(cells.constData(), size_t(cells.size())));
    } else if (data->hasText()) {
        // Text from elsewhere takes the typing attribute.
        text = ClipTextFromUtf8(data->text().toStdString(), context_.typingAttribute);
    }
    if (text.Empty()) return;
    if (!PasteAtCaret(context_, *this, text)) emit Refused(kNoRoomToPaste);
}

void CaptionWindow::ToggleItalics() {
    if (HasSelection()) {
        ToggleSelectionStyle(context_, *this, kItalicsBit);
    } else {
        vantrel::ToggleItalics(context_, *this);
    }
    emit EditingChanged();
}

void CaptionWindow::ToggleUnderline() {
    if (HasSelection()) {
        ToggleSelectionStyle(context_, *this, kUnderlineBit);
    } else {
        vantrel::ToggleUnderline(context_);
    }
    emit EditingChanged();
}

void CaptionWindow::SetTypingColour(int colour) {
    if (HasSelection()) {
        ColourSelection(context_, *this, colour);
    } else {
        vantrel::SetTypingColour(context_, colour);
    }
    emit EditingChanged();
}

// Receivers never show a selection: reverse video cannot be taken for a caption's colours.
void CaptionWindow::InvertSelection() {
    const std::optional<SelectionRange> range = Selection(context_);
    if (!range || shownCaption_ == nullptr) return;
    for (int row = range->first.row; row <= range->last.row; ++row)
        InvertCells(*shownCaption_, image_, row, range->From(row), range->To(row));
}

}  // namespace vantrel
