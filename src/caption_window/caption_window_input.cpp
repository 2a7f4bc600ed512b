// Keyboard, typing and mouse of the caption window.
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <new>
#include <string>
#include <system_error>

#include "caption_window/caption_keys.h"
#include "caption_window/caption_render.h"
#include "caption_window/caption_window.h"
#include "codec/charset.h"
#include "editor/caret_commands.h"
#include "editor/edit_commands.h"
#include "editor/run_commands.h"
#include "editor/selection_commands.h"
#include "editor/typing.h"
#include "files/file_messages.h"

namespace vantrel {

namespace {

int HeldModifiers(Qt::KeyboardModifiers modifiers, int key) {
    int held = 0;
    // A modifier key counts as held while it goes down, whatever the platform reports.
    if (modifiers.testFlag(Qt::ShiftModifier) || key == Qt::Key_Shift) held |= kShiftHeld;
    if (modifiers.testFlag(Qt::ControlModifier) || key == Qt::Key_Control) held |= kCtrlHeld;
    if (modifiers.testFlag(Qt::AltModifier) || key == Qt::Key_Alt) held |= kAltHeld;
    return held;
}

bool EditsAllowed(PlayState playState) {
    return playState == PlayState::Stopped || playState == PlayState::Paused;
}

// Why an edit was refused: the screen keeps its text and the caret its place.
constexpr const char* kNoRoomToType = "No room on this row: the character was not typed";
constexpr const char* kNoRoomForNewLine = "No room on the row below: Enter was not taken";
constexpr const char* kNoRoomToEdit = "No room on the caption screen for that: nothing was changed";

}  // namespace

bool CaptionWindow::focusNextPrevChild(bool /*next*/) {
    return false;
}

// While editing, the editor's keys and every key without Ctrl or Alt (Space, the arrows, the
// function keys of the transport) come here before any shortcut of the main window.
bool CaptionWindow::event(QEvent* e) {
    if (e->type() == QEvent::ShortcutOverride && IsEditing()) {
        auto* key = static_cast<QKeyEvent*>(e);
        const int held = HeldModifiers(key->modifiers(), key->key());
        // Find Next and Find Previous go on from the caption being edited.
        if (key->key() == Qt::Key_F3) return QWidget::event(e);
        if ((held & (kCtrlHeld | kAltHeld)) == 0 ||
            FindKeyBinding(held, key->key(), key->modifiers().testFlag(Qt::KeypadModifier))) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void CaptionWindow::keyPressEvent(QKeyEvent* event) {
    const int held = HeldModifiers(event->modifiers(), event->key());
    RunKey(held, event->key(), event->modifiers().testFlag(Qt::KeypadModifier));
    // Typed text arrives in Unicode: only what the caption set has can be typed.
    if ((held & (kCtrlHeld | kAltHeld)) != 0) return;
    for (char32_t code : event->text().toUcs4()) {
        const uint8_t character = UnicodeToCaptionChar(code);
        if (character != 0) TypeCharacter(character, true);
    }
}

void CaptionWindow::RunKey(int modifiers, int key, bool keypad) {
    const KeyBinding* binding = FindKeyBinding(modifiers, key, keypad);
    if (binding == nullptr) return;
    EditorView& view = *this;
    const int refusals = refusals_;
    if (RunSelectionKey(binding->action, (modifiers & kShiftHeld) != 0)) {
        if (refusals_ != refusals) emit Refused(kNoRoomToEdit);
        return;
    }
    switch (binding->action) {
        case KeyAction::Backspace:
            Backspace(context_, view);
            break;
        case KeyAction::DeleteForward:
            DeleteForward(context_, view);
            break;
        case KeyAction::NewLine:
            NewLine(context_, view);
            break;
        case KeyAction::CaretLeft:
            CaretLeft(context_, view);
            break;
        case KeyAction::CaretRight:
            CaretRight(context_, view);
            break;
        case KeyAction::CaretUp:
            CaretUp(context_, view);
            break;
        case KeyAction::CaretDown:
            CaretDown(context_, view);
            break;
        case KeyAction::CaretToRunStart:
            CaretToRunStart(context_, view);
            break;
        case KeyAction::CaretToRunEnd:
            CaretToRunEnd(context_, view);
            break;
        case KeyAction::ScreenHome:
            ScreenHome(context_, view);
            break;
        case KeyAction::ScreenEnd:
            ScreenEnd(context_, view);
            break;
        case KeyAction::WordLeft:
            WordLeft(context_, view);
            break;
        case KeyAction::WordRight:
            WordRight(context_, view);
            break;
        case KeyAction::ShiftRun:
            ShiftRun(context_, view, binding->argument);
            break;
        case KeyAction::CenterRun:
            CenterRun(context_, view);
            break;
        case KeyAction::RunUp:
            RunUp(context_, view);
            break;
        case KeyAction::RunDown:
            RunDown(context_, view);
            break;
        case KeyAction::ToggleItalics:
            ToggleItalics();
            break;
        case KeyAction::ToggleUnderline:
            ToggleUnderline();
            break;
        case KeyAction::SetColour:
            SetTypingColour(binding->argument);
            break;
        case KeyAction::SetAccent:
            pendingAccent_ = binding->argument;
            break;
        case KeyAction::Type:
            TypeCharacter(static_cast<uint8_t>(binding->argument), false);
            break;
        case KeyAction::EndEdit:
            EndEdit();
            return;
        case KeyAction::SelectAll:
        case KeyAction::CopyText:
        case KeyAction::CutText:
        case KeyAction::PasteText:
            break;  // RunSelectionKey's
    }
    // A caret movement may leave the screen as it is but the selection's extent shown anew.
    if (context_.needsRefresh && IsEditing()) ShowCaption();
    // A typed character says so itself.
    if (refusals_ != refusals && binding->action != KeyAction::Type) {
        emit Refused(binding->action == KeyAction::NewLine ? kNoRoomForNewLine : kNoRoomToEdit);
    }
}

void CaptionWindow::TypeCharacter(uint8_t character, bool fromKeyboard) {
    if (!IsEditing() || character < 0x20) return;
    // An ignored character leaves a pending accent pending.
    if (fromKeyboard && !IsTypable(character)) return;
    const uint8_t composed = ComposeAccent(pendingAccent_, character);
    pendingAccent_ = 0;
    // Typing replaces the selected text.
    if (!DeleteSelection(context_, *this)) ClearSelection(context_);
    if (!vantrel::TypeCharacter(context_, *this, composed)) emit Refused(kNoRoomToType);
}

void CaptionWindow::UpdateCursor() {
    const bool editable = mainView_ != nullptr && EditsAllowed(mainView_->CurrentPlayState());
    setCursor(editable ? Qt::IBeamCursor : Qt::ArrowCursor);
}

// Row and column boundaries lie half-way between cells, so a click picks the nearest caret
// position.
void CaptionWindow::mousePressEvent(QMouseEvent* event) {
    UpdateCursor();
    if (event->button() != Qt::LeftButton || mainView_ == nullptr ||
        !EditsAllowed(mainView_->CurrentPlayState())) {
        return;
    }
    const QPoint cell = Map().CaretCell(event->position());
    const int row = cell.y();
    const int column = cell.x();
    // No exception may leave an event handler: an edit that cannot begin is told, and the
    // caption stays as it was.
    std::string failure;
    try {
        // Shift extends the selection to the click; a plain click drops an anchor to drag from.
        const bool extend = event->modifiers().testFlag(Qt::ShiftModifier) && IsEditing();
        if (extend) HoldAnchor(context_);
        BeginEdit(row, column);
        if (!extend) DropAnchor();
    } catch (const std::bad_alloc&) {
        failure = "there is not enough memory";
    } catch (const std::system_error& error) {
        failure = error.code().message();
    }
    if (failure.empty()) return;
    context_.editCopy.reset();
    context_.source = nullptr;
    ShowFrame(mainView_->CurrentFrame());
    if (ProjectHost* host = mainView_->Project().host) {
        host->Inform(OperationFailedText("Editing the caption", failure));
    }
}

void CaptionWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (p == lastMousePosition_ && event->buttons() == lastMouseButtons_) return;
    lastMousePosition_ = p;
    lastMouseButtons_ = event->buttons();
    UpdateCursor();
    if (event->buttons().testFlag(Qt::LeftButton) && IsEditing()) {
        const QPoint cell = Map().CaretCell(event->position());
        DragTo(cell.y(), cell.x());
    }
}

void CaptionWindow::mouseReleaseEvent(QMouseEvent* /*event*/) {
    UpdateCursor();
}

void CaptionWindow::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // A menu opened over the window (Format's colours) acts on the caption being typed.
    if (event->reason() == Qt::PopupFocusReason) return;
    EndEdit();
}

}  // namespace vantrel
