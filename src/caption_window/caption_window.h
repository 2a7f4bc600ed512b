// The caption screen under the video picture: shows the caption on the air at the main view's
// frame through holes cut into the video window, and edits a private copy of a caption when the
// operator clicks it while the transport is stopped or paused. The screen is drawn at the
// picture's scale (see ScreenMap); the video window covers this window whatever its size.
#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <cstdint>

#include "caption_window/caption_keys.h"
#include "caption_window/caption_window_host.h"
#include "caption_window/screen_map.h"
#include "check/speller.h"
#include "editor/editing_context.h"
#include "editor/editor_view.h"

namespace vantrel {

class VideoWindow;

class CaptionWindow : public QWidget, public EditorView {
    Q_OBJECT

  public:
    explicit CaptionWindow(QWidget* parent = nullptr);

    // Set by the main view after construction.
    void SetMainView(CaptionWindowHost* host) { mainView_ = host; }
    // The picture above this window, whose region shows the caption boxes.
    void SetVideoWindow(VideoWindow* window);
    // Where the screen's cells are in this window, after the picture's place.
    ScreenMap Map() const;
    // Draws the screen again after the picture moved or took another shape.
    void FollowPicture();

    // Showing the caption of a frame (-1: the main view's current frame).
    void ForgetShownCaption();
    void PickShownCaption(int32_t frame, Caption* hint);
    void ShowFrame(int32_t frame);
    void ResetAndShowFrame(int32_t frame);
    void RefreshForFrame(int32_t frame);
    void ClearDisplay();
    void SetTransportState(PlayState state);

    // EditorView: the requests of the editing commands.
    void Beep() override;
    void PlaceCaret(int row, int column, uint8_t typingAttribute) override;
    void MoveCaret(int row, int column) override;
    void ShowCaption() override;
    void SetCaretVisible(bool on);

    // The edit lifecycle. A click begins (or moves) an edit; losing the focus commits it.
    void BeginEdit(int row, int column);
    // An edit on a caption not yet in the list (Add Caption in a gap), committed as `stepName`.
    void BeginNewCaption(std::unique_ptr<Caption> caption, const char* stepName);
    void EndEdit();
    bool IsEditing() const { return context_.editCopy != nullptr; }

    // Italics, underline and colour (0 to 6) of the selected text, or else of the typing
    // attribute, for the toolbar and the Format menu.
    void ToggleItalics();
    void ToggleUnderline();
    void SetTypingColour(int colour);

    // The selected text on the clipboard, and the clipboard's text at the caret.
    bool HasSelection() const;
    void CopySelectedText();
    void CutSelectedText();
    void PasteClipboard();

    // Words the speller does not know are underlined while the video is not playing (but not
    // the word being typed at the caret); null underlines nothing.
    void SetSpeller(const Speller* speller);
    // Cells shown in reverse video while `caption` is on the screen and not being edited: the
    // match of Find, the word of Spelling. A null caption marks nothing.
    void MarkCells(const Caption* caption, int row, int column, int length);

    // What the window holds, for the main view and the tests.
    const Caption* ShownCaption() const { return shownCaption_; }
    const EditingContext& Editing() const { return context_; }
    int PendingAccent() const { return pendingAccent_; }
    const QImage& Image() const { return image_; }

  signals:
    // An edit began or ended, or the typing attribute may have changed (the toolbar follows).
    void EditingChanged();
    // A key or a typed character was refused, and why, for the status bar.
    void Refused(const QString& why);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;
    // Tab belongs to the editor, not to the focus chain.
    bool focusNextPrevChild(bool next) override;

  private:
    void UpdateCursor();
    // Cuts the holes of the caption's boxes into the video window's picture.
    void ApplyMask();
    void RunKey(int modifiers, int key, bool keypad);
    // The keys of the selection and the selection's part in the other keys: true when the key
    // was taken here.
    bool RunSelectionKey(KeyAction action, bool shift);
    // A click drops the anchor a drag selects from; the drag moves the caret.
    void DropAnchor();
    void DragTo(int row, int column);
    // The selected cells in reverse video in the screen's image.
    void InvertSelection();
    // The typing path; `fromKeyboard` is false for the characters of the editor's own keys.
    void TypeCharacter(uint8_t character, bool fromKeyboard);
    void OpenEditor(int row, int column);
    // The caption on the air at a frame, or null.
    static bool OnAir(const Caption* caption, int32_t frame);
    int32_t FrameOrCurrent(int32_t frame) const;

    // Underlines the unknown words of the shown caption and reverses the marked cells.
    void MarkWords();

    CaptionWindowHost* mainView_ = nullptr;
    const Speller* speller_ = nullptr;
    struct Mark {
        const Caption* caption = nullptr;  // compared only
        int row = 0, column = 0, length = 0;
    } mark_;
    VideoWindow* videoWindow_ = nullptr;
    Caption* shownCaption_ = nullptr;  // while editing: the edit copy
    PlayState transportState_ = PlayState::Stopped;
    EditingContext context_;  // the edit copy and its source, the caret, the typing attribute
    int pendingAccent_ = 0;
    int refusals_ = 0;  // beeps of the editing commands, to tell a refused key
    bool caretShown_ = false;
    bool caretItalic_ = false;
    QPoint caretPosition_;
    bool displayCleared_ = true;
    QImage image_;   // the screen in its own units
    QImage scaled_;  // the same at the window's scale, made when first painted
    // The boxes the picture leaves open, in screen units; none for a screen that is not valid.
    std::optional<QRegion> boxes_;
    QPoint lastMousePosition_;
    Qt::MouseButtons lastMouseButtons_;
};

}  // namespace vantrel
