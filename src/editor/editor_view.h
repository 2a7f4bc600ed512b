// What the editing commands ask of the window that shows the edit: a beep for a refused edit,
// the caret, and a fresh rendering of the edit copy. The caption window implements it.
#pragma once

#include <cstdint>

namespace vantrel {

class EditorView {
  public:
    virtual ~EditorView() = default;

    // The system's default sound, for an edit that is refused.
    virtual void Beep() = 0;

    // Creates the caret before cell `column` of `row` and shows it; an italic typing attribute
    // gives the slanted caret.
    virtual void PlaceCaret(int row, int column, uint8_t typingAttribute) = 0;

    // Moves the caret that exists already, as after a typed character.
    virtual void MoveCaret(int row, int column) = 0;

    // Renders the edit copy again and renews the hole round the caret.
    virtual void ShowCaption() = 0;
};

}  // namespace vantrel
