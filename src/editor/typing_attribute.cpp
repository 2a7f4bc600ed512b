#include "editor/typing_attribute.h"

#include "editor/cell_classes.h"

namespace vantrel {

void PickUpAttribute(EditingContext& context) {
    if (!context.Ready()) return;
    const CaptionCell* cells = context.editCopy->cells[context.caretRow];
    const int c = context.caretColumn;
    if (c > 0 && IsCharacterCell(cells[c - 1])) {
        context.typingAttribute = cells[c - 1].attribute;
    } else if (c >= kScreenColumns || cells[c].character == 0) {
        context.typingAttribute = kDefaultAttribute;
    } else {
        context.typingAttribute = cells[c].attribute;
    }
}

void ToggleItalics(EditingContext& context, EditorView& view) {
    if (!context.Ready()) return;
    context.typingAttribute ^= kItalicsBit;
    PlaceCaretAt(context, view);
}

void ToggleUnderline(EditingContext& context) {
    if (!context.Ready()) return;
    context.typingAttribute ^= kUnderlineBit;
}

void SetTypingColour(EditingContext& context, int colour) {
    constexpr uint8_t kForegroundBits = 0x07;
    if (!context.Ready() || colour < 0 || colour > 6) return;
    context.typingAttribute =
        static_cast<uint8_t>((context.typingAttribute & ~kForegroundBits) | colour);
}

}  // namespace vantrel
