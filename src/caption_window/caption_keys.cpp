#include "caption_window/caption_keys.h"

#include <Qt>
#include <array>

namespace vantrel {

namespace {

constexpr int kNone = 0;
constexpr int kAlt = kAltHeld;
constexpr int kShift = kShiftHeld;
constexpr int kCtrl = kCtrlHeld;
constexpr int kCtrlShift = kCtrlHeld | kShiftHeld;
constexpr int kCtrlAlt = kCtrlHeld | kAltHeld;
constexpr int kCtrlAltShift = kCtrlHeld | kAltHeld | kShiftHeld;

using A = KeyAction;

// Shifted symbols are listed under both their key and the symbol, as keyboards report either.
// clang-format off
constexpr std::array kKeyTable = std::to_array<KeyBinding>({
    {kNone, Qt::Key_Backspace, false, A::Backspace, 0},
    {kNone, Qt::Key_Tab, false, A::ShiftRun, 4},
    {kNone, Qt::Key_Return, false, A::NewLine, 0},
    {kNone, Qt::Key_End, false, A::CaretToRunEnd, 0},
    {kNone, Qt::Key_Home, false, A::CaretToRunStart, 0},
    {kNone, Qt::Key_Left, false, A::CaretLeft, 0},
    {kNone, Qt::Key_Right, false, A::CaretRight, 0},
    {kNone, Qt::Key_Up, false, A::CaretUp, 0},
    {kNone, Qt::Key_Down, false, A::CaretDown, 0},
    {kNone, Qt::Key_Delete, false, A::DeleteForward, 0},
    {kNone, Qt::Key_Escape, false, A::EndEdit, 0},

    {kShift, Qt::Key_Tab, false, A::ShiftRun, -4},
    {kShift, Qt::Key_End, false, A::CaretToRunEnd, 0},
    {kShift, Qt::Key_Home, false, A::CaretToRunStart, 0},
    {kShift, Qt::Key_Left, false, A::CaretLeft, 0},
    {kShift, Qt::Key_Right, false, A::CaretRight, 0},
    {kShift, Qt::Key_Up, false, A::CaretUp, 0},
    {kShift, Qt::Key_Down, false, A::CaretDown, 0},
    {kShift, Qt::Key_Delete, false, A::CutText, 0},
    {kShift, Qt::Key_Insert, false, A::PasteText, 0},

    {kCtrl, Qt::Key_Tab, false, A::ShiftRun, 1},
    {kCtrl, Qt::Key_6, true, A::ShiftRun, 1},
    {kCtrl, Qt::Key_4, true, A::ShiftRun, -1},
    {kCtrl, Qt::Key_Home, false, A::ScreenHome, 0},
    {kCtrl, Qt::Key_End, false, A::ScreenEnd, 0},
    {kCtrl, Qt::Key_Left, false, A::WordLeft, 0},
    {kCtrl, Qt::Key_Right, false, A::WordRight, 0},
    {kCtrl, Qt::Key_Up, false, A::RunUp, 0},
    {kCtrl, Qt::Key_8, true, A::RunUp, 0},
    {kCtrl, Qt::Key_Down, false, A::RunDown, 0},
    {kCtrl, Qt::Key_2, true, A::RunDown, 0},
    {kCtrl, Qt::Key_E, false, A::CenterRun, 0},
    {kCtrl, Qt::Key_I, false, A::ToggleItalics, 0},
    {kCtrl, Qt::Key_U, false, A::ToggleUnderline, 0},
    {kCtrl, Qt::Key_A, false, A::SelectAll, 0},
    {kCtrl, Qt::Key_C, false, A::CopyText, 0},
    {kCtrl, Qt::Key_Insert, false, A::CopyText, 0},
    {kCtrl, Qt::Key_X, false, A::CutText, 0},
    {kCtrl, Qt::Key_V, false, A::PasteText, 0},
    {kCtrl, Qt::Key_Comma, false, A::SetAccent, ','},
    {kCtrl, Qt::Key_Minus, false, A::SetAccent, '-'},
    {kCtrl, Qt::Key_Slash, false, A::SetAccent, '/'},
    {kCtrl, Qt::Key_QuoteLeft, false, A::SetAccent, '`'},
    {kCtrl, Qt::Key_Apostrophe, false, A::SetAccent, '\''},
    {kCtrl, Qt::Key_7, true, A::Type, 0xB1},  // upper-left corner
    {kCtrl, Qt::Key_9, true, A::Type, 0xB2},  // upper-right corner
    {kCtrl, Qt::Key_1, true, A::Type, 0xB3},  // lower-left corner
    {kCtrl, Qt::Key_3, true, A::Type, 0xB4},  // lower-right corner

    {kCtrlShift, Qt::Key_Tab, false, A::ShiftRun, -1},
    {kCtrlShift, Qt::Key_Home, false, A::ScreenHome, 0},
    {kCtrlShift, Qt::Key_End, false, A::ScreenEnd, 0},
    {kCtrlShift, Qt::Key_Left, false, A::WordLeft, 0},
    {kCtrlShift, Qt::Key_Right, false, A::WordRight, 0},
    {kCtrlShift, Qt::Key_2, false, A::SetAccent, '@'},
    {kCtrlShift, Qt::Key_At, false, A::SetAccent, '@'},
    {kCtrlShift, Qt::Key_6, false, A::SetAccent, '^'},
    {kCtrlShift, Qt::Key_AsciiCircum, false, A::SetAccent, '^'},
    {kCtrlShift, Qt::Key_7, false, A::SetAccent, '&'},
    {kCtrlShift, Qt::Key_Ampersand, false, A::SetAccent, '&'},
    {kCtrlShift, Qt::Key_Semicolon, false, A::SetAccent, ':'},
    {kCtrlShift, Qt::Key_Colon, false, A::SetAccent, ':'},
    {kCtrlShift, Qt::Key_QuoteLeft, false, A::SetAccent, '~'},
    {kCtrlShift, Qt::Key_AsciiTilde, false, A::SetAccent, '~'},

    // The typing colours in their code order: white, green, blue, cyan, red, yellow, magenta.
    {kAlt, Qt::Key_1, false, A::SetColour, 0},
    {kAlt, Qt::Key_2, false, A::SetColour, 1},
    {kAlt, Qt::Key_3, false, A::SetColour, 2},
    {kAlt, Qt::Key_4, false, A::SetColour, 3},
    {kAlt, Qt::Key_5, false, A::SetColour, 4},
    {kAlt, Qt::Key_6, false, A::SetColour, 5},
    {kAlt, Qt::Key_7, false, A::SetColour, 6},

    {kCtrlAlt, Qt::Key_C, false, A::Type, 0xA9},       // copyright
    {kCtrlAlt, Qt::Key_R, false, A::Type, 0xAE},       // registered
    {kCtrlAlt, Qt::Key_S, false, A::Type, 0x9A},       // service mark
    {kCtrlAlt, Qt::Key_T, false, A::Type, 0x99},       // trade mark
    {kCtrlAlt, Qt::Key_Period, false, A::Type, 0x95},  // bullet

    {kCtrlAltShift, Qt::Key_1, false, A::Type, 0xA1},  // inverted exclamation mark
    {kCtrlAltShift, Qt::Key_Exclam, false, A::Type, 0xA1},
    {kCtrlAltShift, Qt::Key_Slash, false, A::Type, 0xBF},  // inverted question mark
    {kCtrlAltShift, Qt::Key_Question, false, A::Type, 0xBF},
    {kCtrlAltShift, Qt::Key_Backslash, false, A::Type, 0x7F},  // solid block
    {kCtrlAltShift, Qt::Key_Bar, false, A::Type, 0x7F},
});
// clang-format on

bool IsDigitKey(int key) {
    return key >= Qt::Key_0 && key <= Qt::Key_9;
}

}  // namespace

const KeyBinding* FindKeyBinding(int modifiers, int key, bool keypad) {
    if (key == Qt::Key_Backtab) key = Qt::Key_Tab;
    if (key == Qt::Key_Enter) key = Qt::Key_Return;
    for (const KeyBinding& b : kKeyTable) {
        // A keypad digit is a key of its own; the keypad's other keys are the ordinary ones.
        const bool keyMatches = b.keypad ? keypad : !(keypad && IsDigitKey(key));
        if (b.modifiers == modifiers && b.key == key && keyMatches) return &b;
    }
    return nullptr;
}

}  // namespace vantrel
