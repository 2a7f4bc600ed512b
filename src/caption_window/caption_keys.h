// The caption editor's keys: for each set of held modifiers, the keys it acts on and what they
// do. Keys not found do nothing.
#pragma once

namespace vantrel {

enum KeyModifierBits : int {
    kShiftHeld = 1,
    kCtrlHeld = 2,
    kAltHeld = 4,
};

enum class KeyAction {
    Backspace,
    DeleteForward,
    NewLine,
    CaretLeft,
    CaretRight,
    CaretUp,
    CaretDown,
    CaretToRunStart,
    CaretToRunEnd,
    ScreenHome,
    ScreenEnd,
    WordLeft,
    WordRight,
    ShiftRun,  // argument: columns
    CenterRun,
    RunUp,
    RunDown,
    ToggleItalics,
    ToggleUnderline,
    SetColour,  // argument: the foreground colour, 0 to 6
    SetAccent,  // argument: the accent prefix
    Type,       // argument: a caption character of the editor's own
    EndEdit,    // commits the edit and leaves the screen
    SelectAll,
    CopyText,
    CutText,
    PasteText,
};

// The caret movements, which Shift turns into extending the selection.
constexpr bool IsCaretMotion(KeyAction action) {
    return action >= KeyAction::CaretLeft && action <= KeyAction::WordRight;
}

struct KeyBinding {
    int modifiers;  // KeyModifierBits
    int key;        // Qt::Key
    bool keypad;    // only the key of the numeric keypad
    KeyAction action;
    int argument;
};

// The binding of a key pressed with `modifiers` held, or null. `key` is a Qt::Key; `keypad`
// tells whether it comes from the numeric keypad.
const KeyBinding* FindKeyBinding(int modifiers, int key, bool keypad);

}  // namespace vantrel
