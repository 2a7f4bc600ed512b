// The state that the editing commands work on: the private copy of the caption being edited,
// the caret and the attribute of the next typed character.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/editor_view.h"
#include "model/caption.h"

namespace vantrel {

struct EditingContext {
    std::unique_ptr<Caption> editCopy;  // null when not editing
    int caretRow = -1;                  // 0-14
    int caretColumn = -1;               // 0-32: before cell caretColumn; 32 after the last
    uint8_t typingAttribute = kDefaultAttribute;
    bool needsRefresh = true;   // the edit copy must be rendered again
    Caption* source = nullptr;  // the caption of the list the copy came from, or null
    const char* stepName = "";  // the undo step the commit makes
    // The other end of the selected text, the caret being one end; -1 when nothing is selected.
    int anchorRow = -1;
    int anchorColumn = -1;

    // Editing, with the caret on the screen; the commands do nothing otherwise.
    bool Ready() const;
};

// Asks for the caret at the caret position with the typing attribute.
void PlaceCaretAt(EditingContext& context, EditorView& view);

// Marks the edit copy for rendering and asks for it to be shown.
void Refresh(EditingContext& context, EditorView& view);

// Picks up the attribute, places the caret and refreshes: the end of most commands.
void Settle(EditingContext& context, EditorView& view);

}  // namespace vantrel
