#include "editor/editing_context.h"

#include "editor/cell_classes.h"
#include "editor/typing_attribute.h"

namespace vantrel {

bool EditingContext::Ready() const {
    return editCopy != nullptr && IsEditableRow(caretRow) && caretColumn >= 0 &&
           caretColumn <= kScreenColumns;
}

void PlaceCaretAt(EditingContext& context, EditorView& view) {
    view.PlaceCaret(context.caretRow, context.caretColumn, context.typingAttribute);
}

void Refresh(EditingContext& context, EditorView& view) {
    context.needsRefresh = true;
    view.ShowCaption();
}

void Settle(EditingContext& context, EditorView& view) {
    PickUpAttribute(context);
    PlaceCaretAt(context, view);
    Refresh(context, view);
}

}  // namespace vantrel
